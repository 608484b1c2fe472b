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

# shellcheck source=program_run.sh
source "$HERE/program_run.sh"
LOAD_PIDS=()
stop_load() {
  [ ${#LOAD_PIDS[@]} -gt 0 ] && kill "${LOAD_PIDS[@]}" 2>/dev/null
  LOAD_PIDS=()
}
trap 'stop_load; cleanup_program_run' EXIT

start_sound_server || fail "could not start Xvfb and PulseAudio"
start_program "$SINEFOLD"
# The window shows once the start-up (and its phase reset by the preview) is
# over; from then on the output is the tones' exact period.
xdotool search --sync --onlyvisible --name '^Sinefold' >/dev/null || fail "no window"

# NAME SECONDS, with a long recording buffer, so that the recorder itself
# never loses frames.
record_long() {
  timeout "$2" parec --latency-msec=500 -d "$SINK.monitor" --rate=48000 --channels=2 --format=s16le >"$WORK/$1.raw"
}

gaps=0
record_long idle "$IDLE"
"$GAP_CHECK" "$WORK/idle.raw" | sed 's/^/idle: /' || gaps=1

for _ in $(seq "$(nproc)"); do
  ( while :; do :; done ) &
  LOAD_PIDS+=($!)
done
record_long loaded "$LOADED"
"$GAP_CHECK" "$WORK/loaded.raw" | sed 's/^/loaded: /' || gaps=1
stop_load

pactl list sink-inputs | grep -E 'Latency' | sed 's/^\s*/latency: /'
exit $gaps
