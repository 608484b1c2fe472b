#!/usr/bin/env bash
# The sink the program plays on goes away while a second one remains: the
# tones must go on on the second sink, at their levels, without anything done
# in the program. The sound server may move the stream there itself or end
# it; either way the program's output must end up on the second sink.
# Prints how long the tones took to come back after the sink went.
#
# usage: sink_removed.sh PATH/TO/sinefold PATH/TO/tone_check
set -uo pipefail
SINEFOLD=$1
TONE_CHECK=$2
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=sound_server.sh
source "$HERE/sound_server.sh"
# shellcheck source=program_run.sh
source "$HERE/program_run.sh"
SECOND_KEEPALIVE_PID=
stop_second_reader() { [ -n "$SECOND_KEEPALIVE_PID" ] && kill "$SECOND_KEEPALIVE_PID" 2>/dev/null; }
trap 'stop_second_reader; cleanup_program_run' EXIT

start_sound_server || fail "could not start Xvfb and the sound server"
SECOND_SINK=${SINK}_second
pactl load-module module-null-sink "sink_name=$SECOND_SINK" rate=48000 channels=2 >/dev/null ||
  fail "could not load the second null sink"
# Like the first sink's reader: keeps the second sink rendering in short
# blocks, so that a recording of it starts at once.
parec --latency-msec=10 -d "$SECOND_SINK.monitor" >/dev/null 2>&1 &
SECOND_KEEPALIVE_PID=$!

sink_index() { pactl list short sinks | awk -v name="$1" '$2 == name { print $1 }'; }
sink_name() { pactl list short sinks | awk -v wanted="$1" '$1 == wanted { print $2 }'; }
null_sink_module() { pactl list short modules | awk -v arg="sink_name=$1" '$2 == "module-null-sink" && $3 == arg { print $1 }'; }
# The sink the program's stream plays on; empty while it has none.
stream_sink() { pactl list short sink-inputs | awk 'NR == 1 { print $2 }'; }
stream_on_a_sink() { [ -n "$(stream_sink)" ]; }
streams_on() { pactl list short sink-inputs | awk -v sink="$1" '$2 == sink' | wc -l; }
stream_on() { [ "$(streams_on "$1")" -gt 0 ]; }
one_stream_on() { [ "$(pactl list short sink-inputs | wc -l)" -eq 1 ] && [ "$(streams_on "$1")" -eq 1 ]; }

start_program "$SINEFOLD"
poll_for 100 stream_on_a_sink || fail "no stream reached a sink within 10 s"
stream_takes_route_asked || fail "the stream did not come the way SDL_AUDIODRIVER='${SDL_AUDIODRIVER:-}' asks"
playing=$(sink_name "$(stream_sink)")
case "$playing" in
  "$SINK") other=$SECOND_SINK ;;
  "$SECOND_SINK") other=$SINK ;;
  *) fail "the stream plays on '$playing', not on one of the null sinks" ;;
esac
# Before the loss only where the tones play matters; their levels are
# judged after it.
SINK=$playing expect_sound before present=110,220,330,440,550,660,770,880 ||
  fail "the tones are not on $playing at start-up"
SINK=$other expect_sound other_before silent || fail "$other is not silent while $playing plays"

# The second sink is where the server plays from now on.
pactl set-default-sink "$other" || fail "could not make $other the default sink"
other_index=$(sink_index "$other")
removed_at=$(date +%s%N)
pactl unload-module "$(null_sink_module "$playing")" || fail "could not unload $playing"
SINK=$other
poll_for 100 stream_on "$other_index" || fail "no stream reached $other within 10 s of $playing going away"
expect_sound after startup=0.5 || fail "the tones did not come back on $other"
echo "tones back on $other within $((($(date +%s%N) - removed_at) / 1000000)) ms of the unload (recordings included)"
stream_takes_route_asked || fail "the stream on $other did not come the way SDL_AUDIODRIVER='${SDL_AUDIODRIVER:-}' asks"
poll_for 50 one_stream_on "$other_index" || fail "the program keeps $(pactl list short sink-inputs | wc -l) streams, not one on $other"

# Still playing a while later: the output is not a last gasp of the old one.
expect_sound later startup=0.5 || fail "the tones stopped on $other"

end_program
[ "$EXIT_STATUS" -eq 0 ] || fail "the program ended with exit code $EXIT_STATUS after SIGTERM"
[ -s "$WORK/app.log" ] && fail "the program wrote to its output in a normal run"
echo "PASS: the tones went on on $other after $playing went away"
