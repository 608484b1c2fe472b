#!/usr/bin/env bash
# Stand-ins for the program, for the tests that show a run's checks fail
# when the program does not do its part. Chosen by STANDIN_MODE:
#   no-stream: opens no stream and shows no window; it only waits.
#   dies: runs the program at STANDIN_PROGRAM and kills it (SIGKILL) as soon
#     as a recording of the sink begins, that is once a reader besides the
#     keep-alive one is on the monitor.
#   turned-down: runs the program and turns its stream down to half at the
#     sound server as soon as it is there: a program that plays, and goes on
#     playing, at the wrong level.
#   stalls: runs the program and stops it (SIGSTOP) for 0.3 s half a second
#     into the first recording: a program that delivers late.
#   server-stalls: the same with the sound server stopped instead (PulseAudio,
#     or on PipeWire the daemon that runs the sink): a loss that every stream
#     on the sink suffers. PipeWire's sink does not make up the time it was
#     stopped, so the recording comes out that much short; 0.15 s there keeps
#     it within the length check's tolerance and is still far beyond what any
#     client's buffer bridges.
#
# usage: STANDIN_MODE=no-stream standin_program.sh
#        STANDIN_MODE=dies|turned-down|stalls|server-stalls STANDIN_PROGRAM=PATH/TO/sinefold standin_program.sh
set -uo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=sound_server.sh
source "$HERE/sound_server.sh"

program=$$
# A recording has begun (a reader besides the keep-alive one is on the
# monitor), or the program ($program) is gone.
recording_or_gone() {
  [ "$(pactl list short source-outputs 2>/dev/null | wc -l)" -gt 1 ] || ! kill -0 "$program" 2>/dev/null
}

case "${STANDIN_MODE:-}" in
  no-stream)
    exec sleep 600
    ;;
  dies)
    # The program takes over this process, so the caller's SIGKILL reaches
    # it; the watcher ends with it either way.
    (poll_for 600 recording_or_gone && kill -KILL "$program" 2>/dev/null) &
    exec "$STANDIN_PROGRAM"
    ;;
  turned-down)
    stream_or_gone() { [ -n "$(first_stream)" ] || ! kill -0 "$program" 2>/dev/null; }
    first_stream() { pactl list short sink-inputs 2>/dev/null | awk '{ print $1; exit }'; }
    (poll_for 600 stream_or_gone && pactl set-sink-input-volume "$(first_stream)" 50%) &
    exec "$STANDIN_PROGRAM"
    ;;
  stalls | server-stalls)
    stopped=$program stall=0.3
    if [ "$STANDIN_MODE" = server-stalls ]; then
      case "$SOUND_SERVER" in
        pipewire) stopped=$PIPEWIRE_PID stall=0.15 ;;
        *) stopped=$PULSE_PID ;;
      esac
    fi
    # The pauses place the stall past the recording's unjudged start, and are
    # the stall itself.
    (poll_for 600 recording_or_gone && sleep 0.5 && kill -STOP "$stopped" && sleep "$stall" && kill -CONT "$stopped") &
    exec "$STANDIN_PROGRAM"
    ;;
  *)
    echo "unknown STANDIN_MODE '${STANDIN_MODE:-}'" >&2
    exit 2
    ;;
esac
