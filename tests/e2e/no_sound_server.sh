#!/usr/bin/env bash
# End to end: the real program started while no sound server is reachable,
# under a private X server. Its start-up shows three error boxes (the
# initialisation, stream 1's creation, stream 1's start).
#
#   terminate-at-box: SIGTERM while the first box is up ends the program
#     within a few seconds with exit code 0.
#   late-server: a person dismisses the boxes with Return; a sound server
#     with its null sink then comes up, and choosing "Default" in the device list plays the
#     eight start-up tones into it at the level of master volume 50 %, the
#     level a program started with the server up plays (the start-up
#     volume was refused while there was no output).
#   late-server-muted: the same with Mute pressed before the server comes
#     up: the output that starts is silent from its start, and releasing
#     Mute brings the tones at the level of master volume 50 %.
#
# usage: no_sound_server.sh CASE PATH/TO/sinefold PATH/TO/tone_check PATH/TO/screen_check
set -uo pipefail
CASE=$1
SINEFOLD=$2
TONE_CHECK=$3
SCREEN_CHECK=$4
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=sound_server.sh
source "$HERE/sound_server.sh"

# shellcheck source=program_run.sh
source "$HERE/program_run.sh"

# No window manager runs, so the program's top-level windows are the root
# window's children: its main window, named "Sinefold ...", and its message
# boxes, named after the application (and so are the main window's native
# child widgets, one level further down).
BOX_TITLE="BASS - Tonwerk"
visible_windows() { xdotool search --maxdepth 1 --onlyvisible --classname '^sinefold$' 2>/dev/null; }
main_window() { xdotool search --maxdepth 1 --onlyvisible --name '^Sinefold' 2>/dev/null | head -1; }
# The box on screen, if any. A box has no WM_NAME, which xdotool's --name
# searches, only the title every window of the program shows.
box_on_screen() {
  local window
  for window in $(visible_windows); do
    [ "$(xdotool getwindowname "$window")" = "$BOX_TITLE" ] && { echo "$window"; return 0; }
  done
  return 1
}
has_box() { BOX=$(box_on_screen); }

point_at_absent_sound_server
start_display || fail "could not start Xvfb"
start_program "$SINEFOLD"
poll_for 200 has_box || fail "no error box within 20 s of a start without a sound server"

if [ "$CASE" = terminate-at-box ]; then
  end_program
  [ "$EXIT_STATUS" -eq 0 ] || fail "SIGTERM during an error box ended the program with exit code $EXIT_STATUS"
  echo "PASS: SIGTERM during the first start-up error box ended the program with exit code 0"
  exit 0
fi

# A person reads each box and presses Return, which its OK button takes; the
# next box or the window follows.
boxes=0
box_gone() { ! visible_windows | grep -qx "$BOX"; }
box_or_window() { has_box || [ -n "$(main_window)" ]; }
while has_box; do
  boxes=$((boxes + 1))
  [ "$boxes" -le 3 ] || fail "more than three error boxes"
  xdotool key Return
  poll_for 50 box_gone || fail "box $boxes did not go on Return"
  poll_for 100 box_or_window || fail "neither another box nor the window after box $boxes"
done
[ "$boxes" -eq 3 ] || fail "$boxes error boxes instead of three"

window=$(main_window)
eval "$(xdotool getwindowgeometry --shell "$window")"
OX=$X OY=$Y
# Real input events at client coordinates; the Mix group is at (729, 274),
# the Mute button at (16, 32) in it.
click() { xdotool mousemove --sync $((OX + $1)) $((OY + $2)) click 1; }
click_mute() { click $((729 + 16 + 28)) $((274 + 32 + 10)); }
# Down, with the pointer on it, its face is the muted orange.
mute_down() { "$SCREEN_CHECK" pixel $((OX + 729 + 16 + 3)) $((OY + 274 + 32 + 3)) 255 128 0; }

if [ "$CASE" = late-server-muted ]; then
  click_mute
  poll_for 100 mute_down || fail "Mute did not go down"
fi

start_pulse_server || fail "could not start the sound server"

# With Mute down, everything the sink receives from before the choice of
# the device until well after its stream runs must be silence: not even a
# blip before the volume comes. A reader besides the keep-alive one on the
# monitor is the recording.
recording() { [ "$(pactl list short source-outputs | wc -l)" -gt 1 ]; }
if [ "$CASE" = late-server-muted ]; then
  timeout 4 parec --latency-msec=20 -d "$SINK.monitor" --rate=48000 --channels=2 --format=s16le >"$WORK/muted.raw" &
  recorder=$!
  poll_for 50 recording || fail "the recording did not start"
fi

# The device list is at (8, 8) in the window; its popup takes the keyboard.
click $((8 + 300)) $((8 + 10))
popup_open() { [ "$(visible_windows | wc -l)" -gt 1 ]; }
poll_for 50 popup_open || fail "the device list did not open"
xdotool type D
xdotool key Return

poll_for 100 has_stream || fail "no stream reached the sink within 10 s of choosing Default"
# The level of the eight start-up tones at master volume 50 %, clipping
# included: what play_tones.sh hears from a program started with the server
# up.
AT_START_UP_LEVEL=startup=0.5

if [ "$CASE" = late-server-muted ]; then
  stream_runs() { pactl list sink-inputs | grep -q 'Corked: no'; }
  poll_for 30 stream_runs || fail "the stream did not start within 3 s"
  recording || fail "the recording ended before the stream started"
  wait "$recorder"
  "$TONE_CHECK" "$WORK/muted.raw" silent >"$WORK/muted.txt" ||
    { cat "$WORK/muted.txt"; fail "with Mute down, the output that started once the server came up is not silent"; }
  click_mute
  expect_sound unmuted "$AT_START_UP_LEVEL" || fail "releasing Mute did not bring the tones at the level of 50 %"
  verdict="Mute pressed before the server came up kept the output silent; releasing it played the tones at 50 %"
else
  expect_sound tones "$AT_START_UP_LEVEL" || fail "the eight start-up tones are not all at the level of 50 %"
  verdict="Default chosen once a server came up plays the eight tones at 50 %"
fi

end_program
[ "$EXIT_STATUS" -eq 0 ] || fail "the program ended with exit code $EXIT_STATUS after SIGTERM"
echo "PASS: three error boxes without a sound server; $verdict"
