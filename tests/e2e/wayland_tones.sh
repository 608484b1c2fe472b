#!/usr/bin/env bash
# End to end on Wayland: the real program shown natively by a private,
# headless Weston (no X server anywhere), playing into a private sound
# server's null sink. Checks that its window is a Wayland client of that
# Weston and titled as on X11, that it plays the eight start-up tones, that
# its window, in a picture Weston takes of its screen, has the pixels the X11
# run checks, and that it writes nothing to its output; then SIGTERM must end
# it with exit code 0. (A headless Weston has no input devices, so the input
# the X11 run sends has no counterpart here.)
#
# usage: wayland_tones.sh PATH/TO/sinefold PATH/TO/tone_check PATH/TO/screen_check
set -uo pipefail
SINEFOLD=$1
TONE_CHECK=$2
SCREEN_CHECK=$3
HERE=$(cd "$(dirname "$0")" && pwd)

# Skipped (77, as sound_server.sh does for its tools) without Weston or Qt's
# Wayland platform.
for tool in weston weston-screenshooter weston-debug; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
compgen -G "/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so" >/dev/null ||
  { echo "SKIP: Qt's Wayland platform (qt6-wayland) is not installed"; exit 77; }

# shellcheck source=sound_server.sh
source "$HERE/sound_server.sh"
# shellcheck source=program_run.sh
source "$HERE/program_run.sh"

WESTON_PID=
stop_compositor() {
  [ -n "$WESTON_PID" ] && kill "$WESTON_PID" 2>/dev/null && wait "$WESTON_PID" 2>/dev/null
  WESTON_PID=
}
# The program goes first, then the compositor, then what program_run.sh stops.
cleanup_wayland_run() {
  [ -n "$APP_PID" ] && kill -KILL "$APP_PID" 2>/dev/null
  stop_compositor
  cleanup_program_run
}
trap cleanup_wayland_run EXIT

# Weston on the private runtime folder sound_server.sh made. The headless
# back end draws nothing unless told to use pixman, and --debug lets any
# client take a picture of the screen and read the scene graph.
SOCKET=sinefold-test
start_compositor() {
  weston --no-config --backend=headless-backend.so --use-pixman --width=1280 --height=1024 --idle-time=0 --debug \
    --socket="$SOCKET" >"$SOUND_DIR/weston.log" 2>&1 &
  WESTON_PID=$!
  listens() { [ -S "$XDG_RUNTIME_DIR/$SOCKET" ]; }
  poll_for 100 listens || { cat "$SOUND_DIR/weston.log"; return 1; }
  export WAYLAND_DISPLAY=$SOCKET
}

# Weston's scene graph, one line per view; the program's top-level window
# reads "View N (role xdg_toplevel, PID P, surface ID S, top-level window
# 'TITLE' of APP-ID, ...):", followed by its position and its opaque area.
scene_graph() { timeout 10 weston-debug scene-graph 2>/dev/null; }
# The program's window, after it has a buffer on screen: its view line and
# the two lines after it.
program_view() {
  scene_graph | grep -A2 "role xdg_toplevel, PID $APP_PID," | grep -q "opaque" || return 1
  VIEW=$(scene_graph | grep -A2 "role xdg_toplevel, PID $APP_PID,")
}

start_sound_server_without_display || fail "could not start the sound server"
# Nothing of X11: the program can only be on Wayland.
unset DISPLAY
start_compositor || fail "could not start Weston"

start_program env QT_QPA_PLATFORM=wayland "$SINEFOLD"
poll_for 100 has_stream || fail "no stream reached the sink within 10 s"
expect_sound tones startup=0.5 || fail "the eight tones are not all at the level of master volume 50 % in the recording"

poll_for 100 program_view || { scene_graph; fail "no top-level window of the program in Weston's scene graph"; }
TITLE="Sinefold (based on BASS) - https://sinefold.example — BASS - Tonwerk"
grep -qF "top-level window '$TITLE' of" <<<"$VIEW" || { echo "$VIEW"; fail "the window is not titled '$TITLE'"; }

# The client area is the opaque part of the window (Qt draws the title bar
# and frame around it itself, not opaque).
read -r X1 Y1 X2 Y2 < <(sed -n 's/.*\[opaque: (\([0-9]*\), \([0-9]*\)) -> (\([0-9]*\), \([0-9]*\))\].*/\1 \2 \3 \4/p' <<<"$VIEW")
[ -n "${Y2:-}" ] || { echo "$VIEW"; fail "no opaque area in the window's view"; }
[ $((X2 - X1)) -eq 825 ] && [ $((Y2 - Y1)) -eq 548 ] || fail "the client area is $((X2 - X1))x$((Y2 - Y1)), not 825x548"

(cd "$WORK" && timeout 10 weston-screenshooter) || fail "Weston took no picture of its screen"
PICTURE=$(find "$WORK" -maxdepth 1 -name "wayland-screenshot-*.png" | head -1)
[ -n "$PICTURE" ] || fail "Weston's picture of its screen is not in $WORK"
SCREEN_CHECK_PICTURE=$PICTURE QT_QPA_PLATFORM=offscreen "$SCREEN_CHECK" startup "$X1" "$Y1" >"$WORK/pixels.txt" ||
  { cat "$WORK/pixels.txt"; fail "the window's pixels"; }

end_program
[ "$EXIT_STATUS" -eq 0 ] || fail "the program ended with exit code $EXIT_STATUS after SIGTERM"
[ -s "$WORK/app.log" ] && fail "the program wrote to its output in a normal run"
echo "PASS: on Wayland: a Weston client titled as on X11, eight tones played, window pixels as laid out, no output, clean exit on SIGTERM"
