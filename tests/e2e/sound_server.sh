#!/usr/bin/env bash
# Starts and stops a private X server and PulseAudio server with one null sink
# for the tests that play real sound. Source it, then call start_sound_server
# and stop_sound_server; every process is stopped by its PID.
#
# After start_sound_server: DISPLAY, PULSE_SERVER and friends are exported, and
# SINK is the null sink's name; its monitor is "$SINK.monitor".

SINK=sinefold_test

# A test that cannot have its servers and tools is skipped, not failed: on a
# desktop with PipeWire the install script leaves pulseaudio out, as apt
# would remove the desktop's own sound packages for it. CTest reads the exit
# code 77 as skipped.
SOUND_TEST_SKIP=77
for tool in Xvfb xdotool pulseaudio pactl parec; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed"
    exit "$SOUND_TEST_SKIP"
  fi
done

start_sound_server() {
  point_at_absent_sound_server && start_display && start_pulse_server
}

stop_sound_server() {
  local pid
  for pid in ${KEEPALIVE_PID:-} ${PULSE_PID:-} ${XVFB_PID:-}; do
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  KEEPALIVE_PID= PULSE_PID= XVFB_PID=
  [ -n "${SOUND_DIR:-}" ] && rm -rf "$SOUND_DIR"
  SOUND_DIR=
}

# The same servers one at a time, for a program that starts before its sound
# server: point_at_absent_sound_server sets up the environment with
# PULSE_SERVER naming a socket where nothing listens yet, start_display starts
# the X server, and start_pulse_server starts PulseAudio on that socket later.
# stop_sound_server stops whatever of them runs.
point_at_absent_sound_server() {
  SOUND_DIR=$(mktemp -d /tmp/sinefold-sound.XXXXXX)
  mkdir -p "$SOUND_DIR/home" "$SOUND_DIR/runtime" "$SOUND_DIR/pulse"
  chmod 700 "$SOUND_DIR/runtime" "$SOUND_DIR/pulse"
  export HOME="$SOUND_DIR/home" XDG_RUNTIME_DIR="$SOUND_DIR/runtime" PULSE_RUNTIME_PATH="$SOUND_DIR/pulse"
  export PULSE_SERVER="unix:$SOUND_DIR/pulse/native"
}

# Waits up to $1 tenths of a second for the command that follows to succeed.
poll_for() {
  local tenths=$1
  shift
  for _ in $(seq "$tenths"); do "$@" && return 0; sleep 0.1; done
  return 1
}

start_display() {
  # Xvfb picks a free display itself and writes its number once it listens.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$SOUND_DIR/display" >"$SOUND_DIR/xvfb.log" 2>&1 &
  XVFB_PID=$!
  display_written() { [ -s "$SOUND_DIR/display" ]; }
  poll_for 100 display_written || { cat "$SOUND_DIR/xvfb.log" >&2; return 1; }
  export DISPLAY=:$(cat "$SOUND_DIR/display")
}

start_pulse_server() {
  # Without --disable-shm the server logs memfd errors here and may abort.
  pulseaudio --daemonize=no --system=false --exit-idle-time=-1 --disallow-exit -n \
    --disable-shm=true --use-pid-file=false \
    --load=module-native-protocol-unix \
    --load="module-null-sink sink_name=$SINK rate=48000 channels=2" >"$SOUND_DIR/pulse.log" 2>&1 &
  PULSE_PID=$!
  server_answers() { pactl info >/dev/null 2>&1; }
  poll_for 100 server_answers || { cat "$SOUND_DIR/pulse.log" >&2; return 1; }
  # An idle null sink renders in 2-second blocks and starves a new client;
  # a reader on its monitor keeps it running in short blocks, from the end
  # of the block under way: until then a recording gets nothing (the first
  # one after start-up came out up to 1.8 s short).
  parec --latency-msec=10 -d "$SINK.monitor" >/dev/null 2>&1 &
  KEEPALIVE_PID=$!
  monitor_read() { [ "$(pactl list short source-outputs | wc -l)" -gt 0 ]; }
  poll_for 100 monitor_read && poll_for 50 sink_in_short_blocks
}

# The null sink's latency in microseconds, as the server reports it: in a
# long block it counts down the rest of the block, in short blocks it stays
# under the 10 ms the keep-alive reader asks for.
sink_latency_usec() { pactl list sinks | awk '$1 == "Latency:" { print $2; exit }'; }
sink_in_short_blocks() {
  local latency
  latency=$(sink_latency_usec)
  [ -n "$latency" ] && [ "$latency" -lt 50000 ]
}
