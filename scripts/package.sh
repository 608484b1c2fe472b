#!/usr/bin/env bash
# Makes the Debian package of Sinefold from a build folder (build/ unless one
# is named; scripts/build.sh builds it): lays the installation out under a
# scratch root with `cmake --install` (the same files any prefix gets),
# declares the packages its binaries' libraries come from (dpkg-shlibdeps)
# and writes sinefold_VERSION_ARCH.deb into BUILD/package/, or OUT. Builds the
# program and its icons first where they are not up to date. Prints the
# package's path.
#
# usage: scripts/package.sh [BUILD [OUT]]
set -euo pipefail
SOURCE=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$SOURCE/build}" && pwd)
OUT=${2:-$BUILD/package}
PACKAGE=sinefold

die() { echo "package.sh: $*" >&2; exit 1; }
for tool in dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || die "$tool is not installed (dpkg-dev)"
done
[ -f "$BUILD/packaging/control" ] || die "$BUILD is not a configured build of the program"
grep -q '^SINEFOLD_RSVG_CONVERT:FILEPATH=/' "$BUILD/CMakeCache.txt" ||
  die "$BUILD was configured without rsvg-convert (librsvg2-bin), so it has no PNG icons; install it and run cmake again"
cmake --build "$BUILD" --target sinefold sinefold_icons >/dev/null

umask 022
mkdir -p "$OUT"
rm -f "$OUT/${PACKAGE}_"*.deb
STAGE=$(mktemp -d "$OUT/stage.XXXXXX")
trap 'rm -rf "$STAGE"' EXIT
# dpkg-shlibdeps expects a source package's layout: debian/control, and the
# package's files under debian/PACKAGE, where it also recognises the private
# audio library as the package's own.
ROOT=$STAGE/debian/$PACKAGE
mkdir "$STAGE/debian"
printf 'Source: %s\n\nPackage: %s\nArchitecture: any\n' "$PACKAGE" "$PACKAGE" >"$STAGE/debian/control"
DESTDIR=$ROOT cmake --install "$BUILD" --prefix /usr --strip >/dev/null
# Where the package's control file goes; dpkg-shlibdeps also takes it for the
# root that the program's $ORIGIN-relative RUNPATH starts from.
mkdir "$ROOT/DEBIAN"

# The binaries: the program and its private library.
mapfile -t binaries < <(cd "$STAGE" && find "debian/$PACKAGE/usr/bin" "debian/$PACKAGE/usr/lib" -type f | sort)
# The one warning left is that the unversioned libbass.so carries no version
# to depend on, which is as intended: the package holds it.
shlibs=$(cd "$STAGE" && dpkg-shlibdeps -O "${binaries[@]}" 2> >(grep -v "from library name 'libbass.so'" >&2))
depends=${shlibs#shlibs:Depends=}

control=$(grep -v '^#' "$BUILD/packaging/control")
# The template's ${...} fields, replaced as literal text.
control=${control//'${Arch}'/$(dpkg --print-architecture)}
control=${control//'${Installed-Size}'/$(du -sk "$ROOT" | cut -f1)}
control=${control//'${shlibs:Depends}'/$depends}
printf '%s\n' "$control" >"$ROOT/DEBIAN/control"
dpkg-deb --root-owner-group --build "$ROOT" "$OUT" >/dev/null
ls "$OUT/${PACKAGE}_"*.deb
