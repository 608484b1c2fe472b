#!/usr/bin/env bash
# End to end: the real program under a private X server, playing into a
# private sound server's null sink (see sound_server.sh). Records what it
# plays and checks the eight start-up tones at their levels; reads the
# window's pixels off the screen; drives it with real input events (a typed
# frequency, the mute button twice, a level dragged to the bottom) and hears
# each change; then unloads the sink under it, checks that it survives, and
# closes it with SIGTERM, which must end it cleanly with exit code 0.
#
# usage: play_tones.sh PATH/TO/sinefold PATH/TO/tone_check PATH/TO/screen_check [SCREENSHOT.png]
# With SCREENSHOT.png it also saves the window as it looks after start-up.
set -uo pipefail
SINEFOLD=$1
TONE_CHECK=$2
SCREEN_CHECK=$3
SCREENSHOT=${4:-}
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=sound_server.sh
source "$HERE/sound_server.sh"
# shellcheck source=program_run.sh
source "$HERE/program_run.sh"

start_sound_server || fail "could not start Xvfb and the sound server"

start_program "$SINEFOLD"
poll_for 100 has_stream || fail "no stream reached the sink within 10 s"

expect_sound tones startup=0.5 || fail "the eight tones are not all at the level of master volume 50 % in the recording"

# The window: no window manager runs, so its client area starts where the
# window is.
window=$(xdotool search --sync --onlyvisible --name '^Sinefold' | head -1)
[ -n "$window" ] || fail "no window titled Sinefold"
eval "$(xdotool getwindowgeometry --shell "$window")"
OX=$X OY=$Y
[ "$WIDTH" -eq 825 ] && [ "$HEIGHT" -eq 548 ] || fail "the window is ${WIDTH}x$HEIGHT, not 825x548"
"$SCREEN_CHECK" startup "$OX" "$OY" >"$WORK/pixels.txt" || { cat "$WORK/pixels.txt"; fail "the window's pixels"; }
[ -n "$SCREENSHOT" ] && "$SCREEN_CHECK" save "$SCREENSHOT" "$OX" "$OY" 825 548

# Real input events at client coordinates.
pointer() { xdotool mousemove --sync $((OX + $1)) $((OY + $2)); }
click() { pointer "$1" "$2"; xdotool click 1; }
# Generator 1's group starts at (8, 274), the Mix group at (729, 274);
# sliders sit at (16, 51) in their group, the spin box at (3, 32), the mute
# button at (16, 32).
START_TONES=110,220,330,440,550,660,770,880
OTHER_TONES=220,330,440,550,660,770,880

# The master volume to 20 % (a click on the track centres the thumb there):
# eight tones at 16384 x 0.2 = 3276.8 each cannot clip, so every tone can be
# measured on its own and a tone that is gone is gone.
QUIET=level=3276.8
click $((729 + 16 + 28)) $((274 + 51 + 143))
expect_sound quiet "present=$START_TONES" $QUIET || fail "the tones after lowering the master volume"

click $((8 + 3 + 30)) $((274 + 32 + 10))
xdotool key Home shift+End
xdotool type --delay 50 1000
expect_sound typed "present=1000,$OTHER_TONES" absent=110 $QUIET || fail "1000 Hz typed into Gen 1 is not what plays"

click $((729 + 16 + 28)) $((274 + 32 + 10))
expect_sound muted silent || fail "Mute did not silence the output"
click $((729 + 16 + 28)) $((274 + 32 + 10))
expect_sound unmuted "present=1000,$OTHER_TONES" $QUIET || fail "a second click on Mute did not bring the sound back"

# Gen 1's thumb covers rows 90 to 98 of its slider; drag it past the bottom.
pointer $((8 + 16 + 28)) $((274 + 51 + 94))
xdotool mousedown 1
for y in 120 150 180 200 230; do pointer $((8 + 16 + 28)) $((274 + 51 + y)); done
xdotool mouseup 1
expect_sound dragged "present=$OTHER_TONES" absent=1000,110 $QUIET || fail "Gen 1's level at the bottom still plays"

# The stream leaves the sink with it: PulseAudio, left without a sink, ends
# it; PipeWire moves it to the dummy output WirePlumber puts up instead.
null_sink_module=$(pactl list short modules | awk '/module-null-sink/ {print $1; exit}')
null_sink=$(pactl list short sinks | awk -v name="$SINK" '$2 == name { print $1 }')
pactl unload-module "$null_sink_module" || fail "could not unload the null sink"
no_stream_on_sink() { ! pactl list short sink-inputs | awk '{ print $2 }' | grep -qx "$null_sink"; }
poll_for 100 no_stream_on_sink || fail "the program's stream outlived its device by 10 s"
# Still alive and still answering: Mute goes down, and under the pointer its
# face turns the muted orange.
click $((729 + 16 + 28)) $((274 + 32 + 10))
muted_face() { "$SCREEN_CHECK" pixel $((OX + 729 + 16 + 3)) $((OY + 274 + 32 + 3)) 255 128 0; }
poll_for 100 muted_face || fail "the program stopped answering when its device went away"

end_program
[ "$EXIT_STATUS" -eq 0 ] || fail "the program ended with exit code $EXIT_STATUS after SIGTERM"
[ -s "$WORK/app.log" ] && fail "the program wrote to its output in a normal run"
echo "PASS: eight tones played, window pixels as laid out, typed frequency, mute and level heard, device loss survived, clean exit on SIGTERM"
