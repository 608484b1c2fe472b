#!/usr/bin/env bash
# The Debian package scripts/package.sh makes from this build, unpacked into a
# scratch root: exactly the files an installation needs and nothing of the
# source or build folders; the program's RUNPATH leads to the packaged audio
# library; the icons have their sizes; the desktop entry and the AppStream
# metadata validate and name what the package holds; the declared
# dependencies cover every library the binaries load and apt can satisfy them.
#
# usage: package_contents.sh PATH/TO/package.sh BUILD
set -uo pipefail
PACKAGE_SH=$1
BUILD=$(cd "$2" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
SOURCE=$(cd "$HERE/../.." && pwd)
# shellcheck source=package_tools.sh
source "$HERE/package_tools.sh"
require_tools "${PACKAGE_TOOLS[@]}" readelf ldd desktop-file-validate appstreamcli apt-get

WORK=$(mktemp -d /tmp/sinefold-package.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
make_package "$PACKAGE_SH" "$BUILD" "$WORK/out" || { echo "FAIL: package.sh made no package"; exit 1; }
ROOT=$WORK/root
dpkg-deb -x "$DEB" "$ROOT" || { echo "FAIL: the package does not unpack"; exit 1; }

faults=0
fault() {
  echo "FAIL: $*"
  faults=1
}

PROGRAM=usr/bin/sinefold
LIBRARY=usr/lib/sinefold/libbass.so
DESKTOP_ENTRY=usr/share/applications/sinefold.desktop
METAINFO=usr/share/metainfo/example.sinefold.sinefold.metainfo.xml
ICONS=usr/share/icons/hicolor

# The files, and only those.
expected=("$PROGRAM" "$LIBRARY" "$DESKTOP_ENTRY" "$METAINFO" "$ICONS/scalable/apps/sinefold.svg")
for size in "${ICON_SIZES[@]}"; do expected+=("$ICONS/${size}x$size/apps/sinefold.png"); done
(cd "$ROOT" && find . ! -type d | sed 's|^\./||' | sort) >"$WORK/files"
if ! printf '%s\n' "${expected[@]}" | sort | diff - "$WORK/files" >"$WORK/files.diff"; then
  cat "$WORK/files.diff"
  fault "the package's files are not those of an installation (<: missing, >: not expected)"
fi
leaks=$(grep -rlF -e "$BUILD" -e "$SOURCE" "$ROOT")
[ -z "$leaks" ] || fault "the package names the build or source folder: $leaks"

# The program finds the packaged audio library relative to itself, so the
# unpacked tree works where it is. Its RUNPATH also serves the program's own
# dlopen("libbass.so"); an RPATH (outdated) would outrank LD_LIBRARY_PATH.
runpath=$(readelf -d "$ROOT/$PROGRAM" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]$/\1/p')
# shellcheck disable=SC2016  # $ORIGIN is the loader's, not the shell's
[ "$runpath" = '$ORIGIN/../lib/sinefold' ] || fault "the program's RUNPATH is '$runpath', not \$ORIGIN/../lib/sinefold"
readelf -d "$ROOT/$PROGRAM" | grep -q '(RPATH)' && fault "the program has an RPATH"
env -u LD_LIBRARY_PATH ldd "$ROOT/$PROGRAM" >"$WORK/ldd.txt" 2>&1
bass_path=$(awk '$1 == "libbass.so" && $3 ~ /^\// { print $3 }' "$WORK/ldd.txt")
[ -n "$bass_path" ] && [ "$(realpath "$bass_path")" = "$(realpath "$ROOT/$LIBRARY")" ] ||
  fault "the unpacked program does not resolve libbass.so to the packaged one: '$bass_path'"
grep -q "not found" "$WORK/ldd.txt" && fault "libraries not found: $(grep "not found" "$WORK/ldd.txt" | xargs)"

# Each PNG icon is a PNG of its folder's size: width and height are the
# big-endian words at bytes 16 and 20 of the header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $3 * 256 + $4, $7 * 256 + $8 }'; }
for size in "${ICON_SIZES[@]}"; do
  png=$ROOT/$ICONS/${size}x$size/apps/sinefold.png
  [ -f "$png" ] || continue  # reported with the files
  [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fault "$png is not a PNG"
  [ "$(png_size "$png")" = "${size}x$size" ] || fault "the ${size}x$size icon is $(png_size "$png")"
done

# The desktop entry: valid, and what it starts and shows is in the package.
if desktop-file-validate "$ROOT/$DESKTOP_ENTRY" >"$WORK/desktop.txt" 2>&1; then
  entry_value() { sed -n "s/^$1=//p" "$ROOT/$DESKTOP_ENTRY"; }
  exec_program=$(entry_value Exec | awk '{ print $1 }')
  [ -x "$ROOT/usr/bin/$exec_program" ] || fault "the desktop entry starts '$exec_program', which the package does not hold"
  icon=$(entry_value Icon)
  compgen -G "$ROOT/$ICONS/*/apps/$icon.*" >/dev/null || fault "the desktop entry's icon '$icon' is not in the package"
else
  cat "$WORK/desktop.txt"
  fault "desktop-file-validate rejects the desktop entry"
fi

# The AppStream metadata, alone and against the tree (its launchable desktop
# entry, the files named). Without the network: the screenshot's address is
# a placeholder.
for check in "validate --no-net $ROOT/$METAINFO" "validate-tree --no-net $ROOT"; do
  # shellcheck disable=SC2086  # the check is a command and its arguments
  appstreamcli $check >"$WORK/appstream.txt" 2>&1 || { cat "$WORK/appstream.txt"; fault "appstreamcli $check fails"; }
done

# Every library a packaged binary needs and the package does not hold comes
# from a package its Depends names.
depends=" $(dpkg-deb -f "$DEB" Depends | sed 's/[,|]/\n/g; s/([^)]*)//g' | xargs) "
[ "$depends" != "  " ] || fault "the package declares no dependencies"
# dpkg knows a library under /lib or /usr/lib (one is the other here): it is
# asked about both names, once for all, as each question reads its whole
# database.
for binary in "$PROGRAM" "$LIBRARY"; do
  env -u LD_LIBRARY_PATH ldd "$ROOT/$binary" >"$WORK/ldd.txt"
  readelf -d "$ROOT/$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p' | while read -r soname; do
    [ -e "$ROOT/usr/lib/sinefold/$soname" ] && continue
    # ldd shows "SONAME => PATH", and the loader as its path alone.
    path=$(awk -v so="$soname" '$1 == so && $3 ~ /^\// { print $3 } $1 ~ "/" so "$" { print $1 }' "$WORK/ldd.txt")
    echo "$binary $soname ${path:-?}"
  done
done >"$WORK/needed.txt"
awk '{ print $3; print "/usr" $3; sub("^/usr", "", $3); print $3 }' "$WORK/needed.txt" | sort -u >"$WORK/paths.txt"
xargs dpkg -S <"$WORK/paths.txt" >"$WORK/owners.txt" 2>/dev/null
while read -r binary soname path; do
  owner=$(awk -F': ' -v a="$path" -v b="/usr$path" -v c="${path#/usr}" '$2 == a || $2 == b || $2 == c { print $1; exit }' \
    "$WORK/owners.txt" | cut -d: -f1)
  if [ -z "$owner" ]; then
    fault "no installed package holds $soname ($path), which $binary needs"
  elif [[ $depends != *" $owner "* ]]; then
    fault "$binary needs $soname from $owner, which Depends does not name"
  fi
done <"$WORK/needed.txt"
[ -s "$WORK/needed.txt" ] || fault "no library needed by the packaged binaries was found"
# apt can satisfy them (a simulation: the machine is left as it is).
apt-get install --simulate --no-install-recommends "$DEB" >"$WORK/apt.txt" 2>&1 && grep -q '^Inst sinefold ' "$WORK/apt.txt" ||
  { cat "$WORK/apt.txt"; fault "apt cannot install the package's dependencies"; }

[ "$faults" -eq 0 ] || exit 1
echo "PASS: the package holds the program, its audio library, icons at ${#ICON_SIZES[@]} sizes, a valid desktop entry and AppStream metadata, and declares what it needs"
