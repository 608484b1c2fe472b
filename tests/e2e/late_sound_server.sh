#!/usr/bin/env bash
# Runs a test binary in an environment that names a PulseAudio socket where
# nothing listens yet, and starts the sound server chosen (see
# sound_server.sh) with its null sink there when the test asks for it (by
# creating $SINEFOLD_SERVER_WANTED; $SINEFOLD_SERVER_READY appears once the
# server answers). Everything started is stopped by its
# PID; the test's exit code is returned.
#
# usage: late_sound_server.sh TEST_BINARY [ARGUMENTS...]
set -uo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=sound_server.sh
source "$HERE/sound_server.sh"

TEST_PID=
cleanup() {
  [ -n "$TEST_PID" ] && kill -KILL "$TEST_PID" 2>/dev/null
  stop_sound_server
}
trap cleanup EXIT

point_at_absent_sound_server
export SINEFOLD_SERVER_WANTED="$SOUND_DIR/server-wanted" SINEFOLD_SERVER_READY="$SOUND_DIR/server-ready"
"$@" &
TEST_PID=$!
server_wanted() { [ -e "$SINEFOLD_SERVER_WANTED" ] || ! kill -0 "$TEST_PID" 2>/dev/null; }
if poll_for 300 server_wanted && [ -e "$SINEFOLD_SERVER_WANTED" ]; then
  start_pulse_server && touch "$SINEFOLD_SERVER_READY"
fi
wait "$TEST_PID"
status=$?
TEST_PID=
exit $status
