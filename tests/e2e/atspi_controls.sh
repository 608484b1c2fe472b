#!/usr/bin/env bash
# End to end through a screen reader's eyes: the real program under a
# private X server, with a private session bus and accessibility bus
# (at-spi2-core's bus launcher and registry), playing into a private sound
# server's null sink. A small AT-SPI client (atspi_client.py) finds the Mute
# button as a checkable button, presses it through its action interface and
# sees it checked and the output silent, then pressed again and the tones
# back; reads the master volume and Gen 1's level slider (value, range and
# the label each is labelled by) and sets them through their value
# interface: the master to 20 %, heard at that level, and Gen 1 to 0, heard
# gone while the others play.
#
# usage: atspi_controls.sh PATH/TO/sinefold PATH/TO/tone_check
set -uo pipefail
SINEFOLD=$1
TONE_CHECK=$2
HERE=$(cd "$(dirname "$0")" && pwd)
# Debian's own Python, which python3-gi is for (a python3 earlier in PATH,
# such as one from pyenv, lacks it).
PYTHON=/usr/bin/python3
CLIENT=("$PYTHON" "$HERE/atspi_client.py")
BUS_LAUNCHER=/usr/libexec/at-spi-bus-launcher

# Skipped (77, as sound_server.sh does for its tools) without the
# accessibility bus or the client's library.
for tool in dbus-daemon dbus-send "$PYTHON" "$BUS_LAUNCHER"; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
"$PYTHON" -c 'import gi; gi.require_version("Atspi", "2.0"); from gi.repository import Atspi' 2>/dev/null ||
  { echo "SKIP: AT-SPI for Python (python3-gi, gir1.2-atspi-2.0) is not installed"; exit 77; }

# shellcheck source=sound_server.sh
source "$HERE/sound_server.sh"
# shellcheck source=program_run.sh
source "$HERE/program_run.sh"

BUS_PIDS=()
# The bus launcher starts the accessibility bus, and that bus the registry:
# every process under the ones started here is stopped by its PID.
descendants() {
  local child
  for child in $(pgrep -P "$1"); do
    descendants "$child"
    echo "$child"
  done
}
stop_buses() {
  local pid
  for pid in "${BUS_PIDS[@]}"; do
    for child in $(descendants "$pid"); do kill "$child" 2>/dev/null; done
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  BUS_PIDS=()
}
cleanup_atspi_run() {
  [ -n "$APP_PID" ] && kill -KILL "$APP_PID" 2>/dev/null
  stop_buses
  cleanup_program_run
}
trap cleanup_atspi_run EXIT

# A session bus of this test's own, and the accessibility bus its
# org.a11y.Bus names; the program (QT_LINUX_ACCESSIBILITY_ALWAYS_ON) and the
# client find it there.
start_accessibility_bus() {
  dbus-daemon --session --nofork --nopidfile --address="unix:path=$XDG_RUNTIME_DIR/a11y-session-bus" \
    --print-address=3 3>"$SOUND_DIR/session-bus" >"$SOUND_DIR/session-bus.log" 2>&1 &
  BUS_PIDS+=($!)
  bus_written() { [ -s "$SOUND_DIR/session-bus" ]; }
  poll_for 100 bus_written || { cat "$SOUND_DIR/session-bus.log"; return 1; }
  export DBUS_SESSION_BUS_ADDRESS
  DBUS_SESSION_BUS_ADDRESS=$(head -1 "$SOUND_DIR/session-bus")
  "$BUS_LAUNCHER" --launch-immediately >"$SOUND_DIR/a11y-bus.log" 2>&1 &
  BUS_PIDS=("$!" "${BUS_PIDS[@]}")  # stopped before the session bus
  a11y_bus_answers() {
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress 2>/dev/null |
      grep -q 'unix:'
  }
  poll_for 100 a11y_bus_answers || { cat "$SOUND_DIR/a11y-bus.log"; return 1; }
}

start_sound_server || fail "could not start Xvfb and the sound server"
start_accessibility_bus || fail "could not start the session and accessibility buses"

start_program env QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$SINEFOLD"
poll_for 100 has_stream || fail "no stream reached the sink within 10 s"
expect_sound tones startup=0.5 || fail "the eight tones are not all at the level of master volume 50 % in the recording"
client_ready() { "${CLIENT[@]}" ready 2>/dev/null; }
poll_for 150 client_ready || { "${CLIENT[@]}" ready; fail "the program's Mute button never showed on the accessibility bus"; }

# expect_client WHAT PATTERN ARGS...: the client's answer to ARGS comes to
# match the extended regular expression PATTERN (a change made through AT-SPI
# is answered after the program's event loop has run).
expect_client() {
  local what=$1 pattern=$2
  shift 2
  answers() { ANSWER=$("${CLIENT[@]}" "$@" 2>&1) && grep -qE "$pattern" <<<"$ANSWER"; }
  poll_for 50 answers "$@" || fail "$what: the client read '$ANSWER', not /$pattern/"
}

BUTTON='role=(toggle-button|push-button) checkable=[01]'
expect_client "Mute before a press" "^$BUTTON checked=0 actions=Press" mute
"${CLIENT[@]}" press-mute || fail "could not press Mute through AT-SPI"
expect_client "Mute after a press" "^$BUTTON checked=1 " mute
expect_sound muted silent || fail "Mute pressed through AT-SPI did not silence the output"
"${CLIENT[@]}" press-mute || fail "could not press Mute a second time through AT-SPI"
expect_client "Mute after a second press" "^$BUTTON checked=0 " mute
expect_sound unmuted startup=0.5 || fail "a second press of Mute through AT-SPI did not bring the tones back"

# The master volume to 20 % first, as play_tones.sh does: eight tones at
# 16384 x 0.2 = 3276.8 each do not clip, so a tone that is gone is gone (at
# 50 % the clipped mix of the others has 110 Hz in it).
QUIET=level=3276.8
expect_client "the master volume" "^role=slider current=50 minimum=0 maximum=100 label=label:50 %$" \
  slider "Master volume"
"${CLIENT[@]}" set-slider "Master volume" 20 || fail "could not set the master volume through AT-SPI"
expect_sound quiet present=110,220,330,440,550,660,770,880 $QUIET ||
  fail "the tones after setting the master volume to 20 % through AT-SPI"

expect_client "Gen 1's level" "^role=slider current=16384 minimum=0 maximum=32767 label=label:50%$" slider "Gen 1 level"
"${CLIENT[@]}" set-slider "Gen 1 level" 0 || fail "could not set Gen 1's level through AT-SPI"
expect_client "Gen 1's level after setting it to 0" "^role=slider current=0 minimum=0 maximum=32767 label=label:0%$" \
  slider "Gen 1 level"
expect_sound gen1_off present=220,330,440,550,660,770,880 absent=110 $QUIET ||
  fail "Gen 1's level set to 0 through AT-SPI still plays 110 Hz"

end_program
[ "$EXIT_STATUS" -eq 0 ] || fail "the program ended with exit code $EXIT_STATUS after SIGTERM"
[ -s "$WORK/app.log" ] && fail "the program wrote to its output in a normal run"
echo "PASS: through AT-SPI: Mute pressed and released, checked state and sound followed; Gen 1's level read with its label, set to 0 and heard"
