#!/usr/bin/env bash
# Plays the program's start-up tones into a private sound server's null sink
# (see sound_server.sh) and counts the gaps in what reaches the sink: IDLE
# seconds with the machine otherwise idle (on a virtual machine its
# processors kept from halting, see keep_processors_awake), then LOADED
# seconds with a busy loop on every core.
# A steady reference plays beside the program into the same sink, on a
# channel of its own (see ReferenceTone.h): a gap the reference shares is the
# sound server's or the recorder's, not the program's, and is listed apart
# without counting.
# Prints the gaps, the counts and the latency the sound server reports for
# the program's stream; exits 0 when the program had no gap at all, each
# recording had the length asked and the tones at their start-up levels
# throughout, and at the end the program still ran with its stream on the
# sink.
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
# The reference's channel: one that the program's stereo stream never reaches
# and that the server carries from player to recorder untouched. PulseAudio
# fills top-center from the front pair, so there it is aux0; PipeWire (0.3.65)
# loses an aux channel between player and recorder (the links stand, the
# recording holds silence there) and leaves top-center alone, so there it is
# top-center. gap_check fails a recording whose reference is missing or
# mixed with other sound.
case "$SOUND_SERVER" in
  pipewire) REFERENCE_CHANNEL=top-center ;;
  *) REFERENCE_CHANNEL=aux0 ;;
esac
SINK_CHANNEL_MAP=front-left,front-right,$REFERENCE_CHANNEL

# shellcheck source=program_run.sh
source "$HERE/program_run.sh"
LOAD_PIDS=()
REFERENCE_PID=
stop_reference() {
  [ -n "$REFERENCE_PID" ] && kill "$REFERENCE_PID" 2>/dev/null
  REFERENCE_PID=
}
stop_load() {
  [ ${#LOAD_PIDS[@]} -gt 0 ] && kill "${LOAD_PIDS[@]}" 2>/dev/null
  LOAD_PIDS=()
}
trap 'stop_load; stop_reference; cleanup_program_run' EXIT

start_sound_server || fail "could not start Xvfb and the sound server"
start_program "$SINEFOLD"
# A stand-in that never opens one need not be waited for as long as the
# program (STREAM_WAIT_SECONDS, 10 unless given).
STREAM_WAIT_SECONDS=${STREAM_WAIT_SECONDS:-10}
poll_for $((STREAM_WAIT_SECONDS * 10)) has_stream || fail "no stream reached the sink within $STREAM_WAIT_SECONDS s"
stream_takes_route_asked || fail "the stream did not come the way SDL_AUDIODRIVER='${SDL_AUDIODRIVER:-}' asks"
# The window shows once the start-up (and its phase reset by the preview) is
# over; from then on the output is the tones' exact period.
has_window() { xdotool search --onlyvisible --name '^Sinefold' >/dev/null; }
poll_for 100 has_window || fail "no window within 10 s"

# NAME SECONDS, recorded as a program that measures the output records it,
# with a 20 ms buffer (a 500 ms one hides gaps that this one sees; the
# recorder itself loses nothing at 20 ms on either server, see
# recorder_check.sh); then judges it.
faults=0
record_and_judge() {
  timeout "$2" parec --latency-msec=20 -d "$SINK.monitor" --rate=48000 --channels=3 --channel-map="$SINK_CHANNEL_MAP" \
    --format=s16le >"$WORK/$1.raw"
  "$GAP_CHECK" "$WORK/$1.raw" "$2" --reference | sed "s/^/$1: /"
  [ "${PIPESTATUS[0]}" -eq 0 ] || faults=1
}

# On a virtual machine an idle processor halts, and the host may take many
# milliseconds to run it again when a timer fires: measured here, a real-time
# thread waking every 5.3 ms woke up to 96 ms late while the machine idled
# (8 ms under load), and the private PipeWire dropped even a steady pacat
# source with a 200 ms buffer, 8 times in 30 s. That is the virtual
# machine's doing, not the program's, and no desktop computer idles so; so
# on a virtual machine a spinner per core at the idle scheduling class keeps
# the processors from halting while the idle half records. It runs only when
# nothing else wants the processor, so the program and the servers never
# wait for it.
keep_processors_awake() {
  grep -qw hypervisor /proc/cpuinfo || return 0
  for _ in $(seq "$(nproc)"); do
    chrt --idle 0 sh -c 'while :; do :; done' &
    LOAD_PIDS+=($!)
  done
}

# The reference, from here to the end: one second of it over and over, into a
# plain player with the 20 ms latency the program asks for, so that a stall
# of the server that a client at that latency cannot bridge shows in both. It
# starts after the program's stream, so the stream checks and the stand-ins
# that act on the first stream find the program's.
"$GAP_CHECK" --write-reference "$WORK/reference.raw" 1 || fail "could not write the reference"
while cat "$WORK/reference.raw"; do :; done |
  pacat --playback --latency-msec=20 --rate=48000 --channels=1 --channel-map="$REFERENCE_CHANNEL" --format=s16le &
REFERENCE_PID=$!
reference_plays() { [ "$(pactl list short sink-inputs | wc -l)" -gt 1 ]; }
poll_for 100 reference_plays || fail "the reference did not reach the sink"

keep_processors_awake
record_and_judge idle "$IDLE"
stop_load
for _ in $(seq "$(nproc)"); do
  ( while :; do :; done ) &
  LOAD_PIDS+=($!)
done
record_and_judge loaded "$LOADED"
stop_load
stop_reference

program_ended && fail "the program is no longer running at the end of the measurement"
has_stream || fail "the program's stream is no longer on the sink at the end of the measurement"
pactl list sink-inputs | grep -E 'Latency' | sed 's/^\s*/latency: /'
[ "$faults" -eq 0 ] || fail "a recording had gaps, or was off its length, the tones' levels or the reference (see above)"
echo "PASS: no gap, the length asked and the start-up levels in ${IDLE} s idle and ${LOADED} s loaded"
