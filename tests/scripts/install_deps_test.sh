#!/usr/bin/env bash
# Runs scripts/install-deps.sh against stand-ins of dpkg-query and apt-get
# and checks what it would install: everything missing on a bare machine,
# nothing that makes apt remove an installed package (pulseaudio on a desktop
# with PipeWire), and only the program's packages for "program".
set -uo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
INSTALL_DEPS="$HERE/../../scripts/install-deps.sh"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir "$WORK/bin"

# dpkg-query: installed are the packages listed in $WORK/installed.
cat >"$WORK/bin/dpkg-query" <<'STANDIN'
#!/usr/bin/env bash
package=${!#}
grep -qx "$package" "$STANDIN_WORK/installed" && echo "install ok installed" && exit 0
exit 1
STANDIN
# apt-get: a simulation lists "Remv VICTIM" for each package asked for that
# $WORK/conflicts pairs with an installed VICTIM (lines "PACKAGE VICTIM", as
# Debian 12's pulseaudio with pipewire-audio and pipewire-alsa); a real
# install records its packages.
cat >"$WORK/bin/apt-get" <<'STANDIN'
#!/usr/bin/env bash
case " $* " in
  *" update "*) exit 0 ;;
  *" --simulate "*)
    for package in "$@"; do
      while read -r wanted victim; do
        [ "$package" = "$wanted" ] && grep -qx "$victim" "$STANDIN_WORK/installed" && echo "Remv $victim [1.0]"
      done <"$STANDIN_WORK/conflicts"
    done
    echo "Inst something"; exit 0 ;;
  *" install "*) for package in "$@"; do [[ $package == -* || $package == install ]] || echo "$package"; done >"$STANDIN_WORK/chosen" ;;
esac
STANDIN
chmod +x "$WORK/bin/"*
export STANDIN_WORK=$WORK
printf '%s\n' "pulseaudio pipewire-audio" "pulseaudio pipewire-alsa" >"$WORK/conflicts"

failures=0
# chosen_for SET INSTALLED...: runs the script with those packages installed.
chosen_for() {
  local set=$1
  shift
  printf '%s\n' "$@" >"$WORK/installed"
  : >"$WORK/chosen"
  PATH="$WORK/bin:$PATH" "$INSTALL_DEPS" "$set" >/dev/null 2>"$WORK/stderr"
}
expect() {  # expect yes|no PACKAGE CASE
  local found=no
  grep -qx "$2" "$WORK/chosen" && found=yes
  [ "$found" = "$1" ] || { echo "FAIL: $3: $2 chosen: $found, expected $1"; failures=1; }
}

# A fresh machine (CI) gets both sound servers.
chosen_for tests
for package in pulseaudio pipewire pipewire-pulse wireplumber dbus-daemon libsdl2-dev libgtest-dev; do
  expect yes "$package" "bare machine"
done

# A PipeWire desktop, with either of the packages pulseaudio would remove.
for desktop in pipewire-audio pipewire-alsa; do
  chosen_for tests pipewire "$desktop"
  expect no pulseaudio "desktop with $desktop"
  for package in pipewire-pulse wireplumber pulseaudio-utils xvfb; do
    expect yes "$package" "desktop with $desktop"
  done
  grep -q "Not installing pulseaudio" "$WORK/stderr" ||
    { echo "FAIL: desktop with $desktop: no note on the package left out"; failures=1; }
done

# Whatever apt's simulation says it would remove for is dropped, not only
# pulseaudio; the rest is still installed.
echo "xdotool some-tool" >>"$WORK/conflicts"
chosen_for tests some-tool
expect no xdotool "a package apt would remove some-tool for"
expect yes pulseaudio "a package apt would remove some-tool for"

chosen_for program
expect yes qt6-base-dev "program only"
expect yes qt6-wayland "program only"
expect no libgtest-dev "program only"
expect no pulseaudio "program only"
expect no xvfb "program only"

[ "$failures" -eq 0 ] && echo "PASS: install-deps chooses what is missing and nothing that removes a package"
exit "$failures"
