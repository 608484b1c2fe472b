#!/usr/bin/env bash
# End to end: the real program under a private X server, playing into a
# private PulseAudio null sink. Records what it plays and checks the eight
# start-up tones, then unloads the sink under it, checks that it survives,
# and closes it with SIGTERM, which must end it cleanly with exit code 0.
#
# usage: play_tones.sh PATH/TO/sinefold PATH/TO/tone_check
set -uo pipefail
SINEFOLD=$1
TONE_CHECK=$2
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=sound_server.sh
source "$HERE/sound_server.sh"

APP_PID=
WORK=$(mktemp -d /tmp/sinefold-e2e.XXXXXX)
cleanup() {
  [ -n "$APP_PID" ] && kill -KILL "$APP_PID" 2>/dev/null
  stop_sound_server
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  echo "--- program output:"; cat "$WORK/app.log" 2>/dev/null
  exit 1
}

# Waits up to $1 tenths of a second for the command that follows to succeed.
wait_for() {
  local tenths=$1; shift
  for _ in $(seq "$tenths"); do "$@" && return 0; sleep 0.1; done
  return 1
}

start_sound_server || fail "could not start Xvfb and PulseAudio"

"$SINEFOLD" >"$WORK/app.log" 2>&1 &
APP_PID=$!

has_stream() { [ "$(pactl list short sink-inputs | wc -l)" -gt 0 ]; }
wait_for 100 has_stream || fail "no stream reached the sink within 10 s"
sleep 0.5  # past the stream's start-up

timeout 1.6 parec --latency-msec=20 -d "$SINK.monitor" --rate=48000 --channels=2 --format=s16le >"$WORK/tones.raw"
"$TONE_CHECK" "$WORK/tones.raw" || fail "the eight tones are not all in the recording"

null_sink_module=$(pactl list short modules | awk '/module-null-sink/ {print $1; exit}')
pactl unload-module "$null_sink_module" || fail "could not unload the null sink"
sleep 1
kill -0 "$APP_PID" 2>/dev/null || fail "the program died when its device went away"

kill -TERM "$APP_PID"
exited() { ! kill -0 "$APP_PID" 2>/dev/null; }
wait_for 100 exited || fail "the program did not close within 10 s of SIGTERM"
wait "$APP_PID"
status=$?
APP_PID=
[ "$status" -eq 0 ] || fail "the program ended with exit code $status after SIGTERM"
[ -s "$WORK/app.log" ] && fail "the program wrote to its output in a normal run"
echo "PASS: eight tones played, device loss survived, clean exit on SIGTERM"
