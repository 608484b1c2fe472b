#!/usr/bin/env bash
# Installs, with apt-get, the Debian packages the machine lacks for building
# and running the program ("program", what run.sh needs) or for that and the
# whole test suite ("tests", the default: test.sh). Runs as root or through
# sudo.
#
# It never rearranges the machine: a package whose installation would make
# apt remove an installed one is left out, with a note. On a desktop with
# PipeWire (pipewire-audio, pipewire-alsa) that is pulseaudio; the tests on
# PulseAudio then show as skipped and those on PipeWire run. PipeWire's own
# packages (pipewire, pipewire-pulse, wireplumber) live alongside pulseaudio,
# so a fresh machine gets both servers.
set -euo pipefail

program_packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-wayland libgl-dev libxcb1-dev libsdl2-dev
  fonts-liberation fonts-dejavu-core
)
test_packages=(
  libgtest-dev libbenchmark-dev
  # a faster linker (cmake/BuildTime.cmake falls back to lld or the default)
  mold
  # libFuzzer for the number parser, MPFR for its exact reference
  clang libclang-rt-14-dev libmpfr-dev
  # the end-to-end tests: a private X server, real input events, pactl and
  # the recorder, and both sound servers: PipeWire (with WirePlumber,
  # pipewire-pulse and a session bus of its own) and PulseAudio
  xvfb xauth x11-utils xdotool pulseaudio-utils
  pipewire pipewire-bin pipewire-pulse wireplumber dbus-daemon
  pulseaudio
  # the run on Wayland (a headless Weston) and the one through a screen
  # reader's interface (the accessibility bus and an AT-SPI client)
  weston at-spi2-core dbus-bin python3-gi gir1.2-atspi-2.0
  # the Debian package: its tools, the PNG icons, and its validators
  dpkg-dev librsvg2-bin desktop-file-utils appstream
)

case "${1:-tests}" in
  program) packages=("${program_packages[@]}") ;;
  tests) packages=("${program_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: $0 [program|tests]" >&2; exit 2 ;;
esac

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
# Whether installing the packages named would remove any installed package.
# (The simulation is read whole: grep -q leaving early would break the pipe.)
removes_something() {
  local plan
  plan=$(apt-get install --simulate --no-install-recommends "$@" 2>/dev/null || true)
  grep -q '^Remv ' <<<"$plan"
}

missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq

if removes_something "${missing[@]}"; then
  kept=()
  for package in "${missing[@]}"; do
    if removes_something "$package"; then
      echo "Not installing $package: apt would remove installed packages for it." >&2
    else
      kept+=("$package")
    fi
  done
  missing=("${kept[@]}")
  [ ${#missing[@]} -eq 0 ] && exit 0
fi

echo "Installing: ${missing[*]}"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
