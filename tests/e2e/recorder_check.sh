#!/usr/bin/env bash
# Checks the recorder the gap measurement relies on: plays the program's
# start-up tones from a file with pacat (a steady source with a long buffer,
# which never runs short) into the private null sink and records them for
# SECONDS as gaps.sh does, with parec and a 20 ms buffer, and at the same
# time with a 500 ms one. A gap then is not the program's: seen by the short
# recorder alone it is the recorder's, seen by both the server's. One period
# of the tones is taken from a recording of the program itself and repeated.
#
# usage: recorder_check.sh PATH/TO/sinefold PATH/TO/gap_check SECONDS
set -uo pipefail
SINEFOLD=$1
GAP_CHECK=$2
SECONDS_RECORDED=$3
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=sound_server.sh
source "$HERE/sound_server.sh"
# shellcheck source=program_run.sh
source "$HERE/program_run.sh"
PLAYER_PID=
trap '[ -n "$PLAYER_PID" ] && kill "$PLAYER_PID" 2>/dev/null; cleanup_program_run' EXIT

RAW=(--rate=48000 --channels=2 --format=s16le)
FRAME_BYTES=4
PERIOD_FRAMES=4800  # the start-up tones repeat every 0.1 s

start_sound_server || fail "could not start Xvfb and the sound server"
start_program "$SINEFOLD"
poll_for 100 has_stream || fail "no stream reached the sink within 10 s"
timeout 2 parec --latency-msec=500 -d "$SINK.monitor" "${RAW[@]}" >"$WORK/program.raw"
end_program

# The second second's first period, repeated for the whole run and a little
# more; it must be clean itself before it can judge the recorder.
period_bytes=$((PERIOD_FRAMES * FRAME_BYTES))
tail -c +$((48000 * FRAME_BYTES + 1)) "$WORK/program.raw" | head -c "$period_bytes" >"$WORK/period.raw"
[ "$(stat -c %s "$WORK/period.raw")" -eq "$period_bytes" ] || fail "the program's recording is too short for one period"
for _ in $(seq $((SECONDS_RECORDED * 10 + 40))); do cat "$WORK/period.raw"; done >"$WORK/steady.raw"
"$GAP_CHECK" "$WORK/steady.raw" $((SECONDS_RECORDED + 4)) >"$WORK/steady.txt" ||
  { cat "$WORK/steady.txt"; fail "the repeated period is not clean itself"; }

pacat --playback "${RAW[@]}" "$WORK/steady.raw" &
PLAYER_PID=$!
poll_for 100 has_stream || fail "pacat's stream did not reach the sink"
# Both recorders at once, on the same monitor: what the long one keeps and
# the short one misses, the short one lost.
timeout "$SECONDS_RECORDED" parec --latency-msec=500 -d "$SINK.monitor" "${RAW[@]}" >"$WORK/long.raw" &
long_recorder=$!
timeout "$SECONDS_RECORDED" parec --latency-msec=20 -d "$SINK.monitor" "${RAW[@]}" >"$WORK/short.raw"
wait "$long_recorder"
# Prints the recording's verdict and echoes its count of gaps.
gaps_in() {
  "$GAP_CHECK" "$WORK/$1.raw" "$SECONDS_RECORDED" >"$WORK/$1.txt"
  sed "s/^/$1: /" "$WORK/$1.txt" >&2
  awk '/gaps in/ { print $1 }' "$WORK/$1.txt"
}
long_gaps=$(gaps_in long)
short_gaps=$(gaps_in short)
[ "$short_gaps" -le "$long_gaps" ] || fail "the 20 ms recorder lost frames: $short_gaps gaps against $long_gaps at 500 ms"
[ "$long_gaps" -eq 0 ] || fail "the sink received the steady source with $long_gaps gaps: the server's loss, seen by both recorders"
echo "PASS: a steady source recorded at 20 ms and at 500 ms for $SECONDS_RECORDED s without a gap"
