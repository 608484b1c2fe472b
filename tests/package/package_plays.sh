#!/usr/bin/env bash
# The program as the package installs it: the package made by
# scripts/package.sh, unpacked into a scratch root (never installed into the
# system), started from there under a private X server and sound server (see
# tests/e2e/sound_server.sh). It must play the eight start-up tones at their
# level, with the packaged audio library loaded and no other libbass.so, and
# end cleanly on SIGTERM.
#
# usage: package_plays.sh PATH/TO/package.sh BUILD PATH/TO/tone_check
set -uo pipefail
PACKAGE_SH=$1
BUILD=$(cd "$2" && pwd)
# shellcheck disable=SC2034  # expect_sound (program_run.sh) runs it
TONE_CHECK=$3
HERE=$(cd "$(dirname "$0")" && pwd)
E2E=$HERE/../e2e
# shellcheck source=package_tools.sh
source "$HERE/package_tools.sh"
require_tools "${PACKAGE_TOOLS[@]}"
# shellcheck source=../e2e/sound_server.sh
source "$E2E/sound_server.sh"
# shellcheck source=../e2e/program_run.sh
source "$E2E/program_run.sh"

make_package "$PACKAGE_SH" "$BUILD" "$WORK/out" || fail "package.sh made no package"
ROOT=$WORK/root
dpkg-deb -x "$DEB" "$ROOT" || fail "the package does not unpack"
PACKAGED_LIBRARY=$(realpath "$ROOT/usr/lib/sinefold/libbass.so")

start_sound_server || fail "could not start Xvfb and the sound server"
# Only the program's RUNPATH may lead it to its library.
start_program env -u LD_LIBRARY_PATH "$ROOT/usr/bin/sinefold"
poll_for 100 has_stream || fail "no stream reached the sink within 10 s"
expect_sound tones startup=0.5 || fail "the eight tones are not all at the level of master volume 50 % in the recording"

# Every libbass.so mapped into the process (linked, and loaded again by name
# by the program itself) is the packaged one.
loaded=$(awk '$6 ~ /\/libbass\.so$/ { print $6 }' "/proc/$APP_PID/maps" | sort -u)
[ "$loaded" = "$PACKAGED_LIBRARY" ] ||
  fail "the program loaded '$(echo "$loaded" | xargs)', not only the packaged $PACKAGED_LIBRARY"

end_program
[ "$EXIT_STATUS" -eq 0 ] || fail "the program ended with exit code $EXIT_STATUS after SIGTERM"
[ -s "$WORK/app.log" ] && fail "the program wrote to its output in a normal run"
echo "PASS: the unpacked package's program played the eight tones with the packaged audio library and ended cleanly"
