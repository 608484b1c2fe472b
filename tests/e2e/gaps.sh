#!/usr/bin/env bash
# Plays the program's start-up tones into a private PulseAudio null sink and
# counts the gaps in what reaches the sink: IDLE seconds with the machine
# otherwise idle, then LOADED seconds with a busy loop on every core.
# Prints the gaps, the counts and the latency the sound server reports for
# the program's stream; exits 0 when there was no gap at all.
#
# usage: gaps.sh PATH/TO/sinefold PATH/TO/gap_check IDLE LOADED
set -uo pipefail
SINEFOLD=$1
GAP_CHECK=$2
IDLE=$3
LOADED=$4
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=sound_server.sh
source "$HERE/sound_server.sh"

APP_PID=
LOAD_PIDS=()
WORK=$(mktemp -d /tmp/sinefold-gaps.XXXXXX)
cleanup() {
  [ ${#LOAD_PIDS[@]} -gt 0 ] && kill "${LOAD_PIDS[@]}" 2>/dev/null
  [ -n "$APP_PID" ] && kill -KILL "$APP_PID" 2>/dev/null
  stop_sound_server
  rm -rf "$WORK"
}
trap cleanup EXIT

start_sound_server || { echo "FAIL: could not start Xvfb and PulseAudio"; exit 1; }
"$SINEFOLD" >"$WORK/app.log" 2>&1 &
APP_PID=$!
# The window shows once the start-up (and its phase reset by the preview) is
# over; from then on the output is the tones' exact period.
xdotool search --sync --onlyvisible --name '^Sinefold' >/dev/null || { echo "FAIL: no window"; exit 1; }

# A long recording buffer, so that the recorder itself never loses frames.
record() {
  timeout "$2" parec --latency-msec=500 -d "$SINK.monitor" --rate=48000 --channels=2 --format=s16le >"$WORK/$1.raw"
}

gaps=0
record idle "$IDLE"
"$GAP_CHECK" "$WORK/idle.raw" | sed 's/^/idle: /' || gaps=1

for _ in $(seq "$(nproc)"); do
  ( while :; do :; done ) &
  LOAD_PIDS+=($!)
done
record loaded "$LOADED"
"$GAP_CHECK" "$WORK/loaded.raw" | sed 's/^/loaded: /' || gaps=1
kill "${LOAD_PIDS[@]}" 2>/dev/null
LOAD_PIDS=()

pactl list sink-inputs | grep -E 'Latency' | sed 's/^\s*/latency: /'
exit $gaps
