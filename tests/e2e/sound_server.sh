#!/usr/bin/env bash
# Starts and stops a private X server and a private sound server with one
# null sink for the tests that play real sound. Source it, then call
# start_sound_server and stop_sound_server; every process is stopped by its
# PID.
#
# SINEFOLD_SOUND_SERVER chooses the sound server:
#   pulseaudio (the default): PulseAudio itself.
#   pipewire: PipeWire with WirePlumber and pipewire-pulse, on a session bus
#     of its own. The program reaches it through pipewire-pulse, or natively
#     with SDL_AUDIODRIVER=pipewire.
# Either way, after start_sound_server: DISPLAY, PULSE_SERVER and friends are
# exported, SINK is the null sink's name (the default sink) and its monitor is
# "$SINK.monitor", so a test runs unchanged on both.

SINK=sinefold_test
# The null sink's channels: stereo, unless the caller asks for more before
# start_sound_server (gaps.sh adds one for its reference).
SINK_CHANNEL_MAP=${SINK_CHANNEL_MAP:-front-left,front-right}
null_sink_arguments() {
  local commas=${SINK_CHANNEL_MAP//[^,]/}
  echo "sink_name=$SINK rate=48000 channels=$((${#commas} + 1)) channel_map=$SINK_CHANNEL_MAP"
}
SOUND_SERVER=${SINEFOLD_SOUND_SERVER:-pulseaudio}

# A test that cannot have its servers and tools is skipped, not failed: on a
# desktop with PipeWire the install script leaves pulseaudio out, as apt
# would remove the desktop's own sound packages for it. CTest reads the exit
# code 77 as skipped.
SOUND_TEST_SKIP=77
case "$SOUND_SERVER" in
  pulseaudio) server_tools=(pulseaudio) ;;
  pipewire) server_tools=(dbus-daemon pipewire wireplumber pipewire-pulse) ;;
  *)
    echo "SINEFOLD_SOUND_SERVER is '$SOUND_SERVER', not pulseaudio or pipewire" >&2
    exit 2
    ;;
esac
if [ "${SDL_AUDIODRIVER:-}" = pipewire ] && [ "$SOUND_SERVER" != pipewire ]; then
  echo "SDL_AUDIODRIVER=pipewire needs SINEFOLD_SOUND_SERVER=pipewire" >&2
  exit 2
fi
for tool in Xvfb xdotool pactl parec "${server_tools[@]}"; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed"
    exit "$SOUND_TEST_SKIP"
  fi
done

start_sound_server() {
  point_at_absent_sound_server && start_display && start_pulse_server
}

# The same without the X server, for a test that shows the program on a
# display server of its own (a Wayland compositor).
start_sound_server_without_display() {
  point_at_absent_sound_server && start_pulse_server
}

stop_sound_server() {
  local pid
  for pid in ${KEEPALIVE_PID:-} ${PULSE_PID:-} ${WIREPLUMBER_PID:-} ${PIPEWIRE_PID:-} ${DBUS_PID:-} ${XVFB_PID:-}; do
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  KEEPALIVE_PID='' PULSE_PID='' WIREPLUMBER_PID='' PIPEWIRE_PID='' DBUS_PID='' XVFB_PID=''
  [ -n "${SOUND_DIR:-}" ] && rm -rf "$SOUND_DIR"
  SOUND_DIR=
}

# The same servers one at a time, for a program that starts before its sound
# server: point_at_absent_sound_server sets up the environment with
# PULSE_SERVER naming a socket where nothing listens yet, start_display starts
# the X server, and start_pulse_server starts the sound server answering on
# that socket later (PulseAudio, or PipeWire with pipewire-pulse).
# stop_sound_server stops whatever of them runs.
point_at_absent_sound_server() {
  SOUND_DIR=$(mktemp -d /tmp/sinefold-sound.XXXXXX)
  mkdir -p "$SOUND_DIR/home" "$SOUND_DIR/runtime" "$SOUND_DIR/pulse"
  chmod 700 "$SOUND_DIR/runtime" "$SOUND_DIR/pulse"
  export HOME="$SOUND_DIR/home" XDG_RUNTIME_DIR="$SOUND_DIR/runtime" PULSE_RUNTIME_PATH="$SOUND_DIR/pulse"
  export PULSE_SERVER="unix:$SOUND_DIR/pulse/native"
  # PipeWire clients (SDL's native driver) find the server here, never the
  # desktop's.
  export PIPEWIRE_RUNTIME_DIR="$XDG_RUNTIME_DIR"
  unset PIPEWIRE_REMOTE
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

# Starts the chosen server at PULSE_SERVER with the null sink as its default
# sink, and a reader on the sink's monitor that keeps it rendering.
start_pulse_server() {
  "start_$SOUND_SERVER" || return 1
  # An idle null sink renders in long blocks and starves a new client; a
  # reader on its monitor keeps it running in short blocks, from the end of
  # the block under way: until then a recording gets nothing (on PulseAudio,
  # whose blocks are 2 s long, the first one after start-up came out up to
  # 1.8 s short).
  parec --latency-msec=10 -d "$SINK.monitor" >/dev/null 2>&1 &
  KEEPALIVE_PID=$!
  monitor_read() { [ "$(pactl list short source-outputs | wc -l)" -gt 0 ]; }
  poll_for 100 monitor_read && poll_for 50 sink_in_short_blocks
}

server_answers() { pactl info >/dev/null 2>&1; }

start_pulseaudio() {
  # Without --disable-shm the server logs memfd errors here and may abort.
  pulseaudio --daemonize=no --system=false --exit-idle-time=-1 --disallow-exit -n \
    --disable-shm=true --use-pid-file=false \
    --load=module-native-protocol-unix \
    --load="module-null-sink $(null_sink_arguments)" >"$SOUND_DIR/pulse.log" 2>&1 &
  # Exported for the stand-in that stops the server for a moment.
  export PULSE_PID=$!
  poll_for 100 server_answers || { cat "$SOUND_DIR/pulse.log" >&2; return 1; }
}

start_pipewire() {
  keep_wireplumber_off_devices
  # WirePlumber needs a session bus; this one is private, so the servers
  # never meet the desktop's (nor reserve its devices through it).
  dbus-daemon --session --nofork --nopidfile --address="unix:path=$XDG_RUNTIME_DIR/bus" \
    --print-address=3 3>"$SOUND_DIR/bus" >"$SOUND_DIR/dbus.log" 2>&1 &
  DBUS_PID=$!
  bus_written() { [ -s "$SOUND_DIR/bus" ]; }
  poll_for 100 bus_written || { cat "$SOUND_DIR/dbus.log" >&2; return 1; }
  local server_env=(env "DBUS_SESSION_BUS_ADDRESS=$(head -1 "$SOUND_DIR/bus")" "XDG_CONFIG_HOME=$HOME/.config")
  "${server_env[@]}" pipewire >"$SOUND_DIR/pipewire.log" 2>&1 &
  export PIPEWIRE_PID=$!
  listens_or_ended() { [ -S "$XDG_RUNTIME_DIR/pipewire-0" ] || ! kill -0 "$PIPEWIRE_PID" 2>/dev/null; }
  poll_for 100 listens_or_ended && kill -0 "$PIPEWIRE_PID" 2>/dev/null || { cat "$SOUND_DIR/pipewire.log" >&2; return 1; }
  "${server_env[@]}" wireplumber >"$SOUND_DIR/wireplumber.log" 2>&1 &
  WIREPLUMBER_PID=$!
  "${server_env[@]}" pipewire-pulse >"$SOUND_DIR/pulse.log" 2>&1 &
  PULSE_PID=$!
  poll_for 100 server_answers || { cat "$SOUND_DIR/pulse.log" >&2; return 1; }
  # Now and then, right after pipewire-pulse starts, the load fails with
  # "Not supported" (seen twice in some forty starts); it is tried again.
  # shellcheck disable=SC2046 # the arguments are words of their own
  load_null_sink() { pactl load-module module-null-sink $(null_sink_arguments) >/dev/null 2>&1; }
  poll_for 100 load_null_sink || { echo "pipewire-pulse did not load the null sink within 10 s" >&2; cat "$SOUND_DIR/pulse.log" >&2; return 1; }
  # Choosing the default sink fails the same way until WirePlumber has put up
  # the metadata that holds it (seen with several servers starting at once).
  set_default_sink() { pactl set-default-sink "$SINK" 2>/dev/null; }
  poll_for 100 set_default_sink || { echo "pipewire-pulse did not take $SINK as the default sink within 10 s" >&2; cat "$SOUND_DIR/wireplumber.log" >&2; return 1; }
  poll_for 100 null_sink_is_default || { cat "$SOUND_DIR/wireplumber.log" >&2; return 1; }
}

null_sink_is_default() { [ "$(pactl get-default-sink 2>/dev/null)" = "$SINK" ]; }

# Without a sound card WirePlumber only offers a dummy output; on a desktop it
# would open the machine's own cards, cameras and Bluetooth devices, which
# belong to the desktop's server. Its configuration under the private HOME
# turns those monitors off.
keep_wireplumber_off_devices() {
  local config="$HOME/.config/wireplumber"
  mkdir -p "$config/main.lua.d" "$config/bluetooth.lua.d"
  printf '%s\n' "alsa_monitor.enabled = false" "v4l2_monitor.enabled = false" "libcamera_monitor.enabled = false" \
    >"$config/main.lua.d/51-sinefold-no-devices.lua"
  echo "bluez_monitor.enabled = false" >"$config/bluetooth.lua.d/51-sinefold-no-devices.lua"
}

# The null sink's latency in microseconds, as the server reports it:
# PulseAudio's counts down the rest of a long block and stays under the 10 ms
# the keep-alive reader asks for in short blocks; PipeWire's stays near zero.
sink_latency_usec() { pactl list sinks | awk '$1 == "Latency:" { print $2; exit }'; }
sink_in_short_blocks() {
  local latency
  latency=$(sink_latency_usec)
  [ -n "$latency" ] && [ "$latency" -lt 50000 ]
}
