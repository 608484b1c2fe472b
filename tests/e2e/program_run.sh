#!/usr/bin/env bash
# What the tests that run the real program share: a work folder, the
# program's process, failing with its output, recording the null sink and
# judging the recording, ending the program. Source it after sound_server.sh;
# it sets the exit trap that stops the program and the servers.
#
# The caller sets TONE_CHECK before calling expect_sound.

APP_PID=
WORK=$(mktemp -d /tmp/sinefold-e2e.XXXXXX)
cleanup_program_run() {
  [ -n "$APP_PID" ] && kill -KILL "$APP_PID" 2>/dev/null
  stop_sound_server
  rm -rf "$WORK"
}
trap cleanup_program_run EXIT

fail() {
  echo "FAIL: $*"
  echo "--- program output:"
  cat "$WORK/app.log" 2>/dev/null
  exit 1
}

start_program() {
  "$@" >"$WORK/app.log" 2>&1 &
  APP_PID=$!
}

has_stream() { [ "$(pactl list short sink-inputs | wc -l)" -gt 0 ]; }
# On PipeWire the program's stream comes through pipewire-pulse, or with
# SDL_AUDIODRIVER=pipewire over PipeWire's own protocol: a run measures the
# route it names.
stream_takes_route_asked() {
  [ "$SOUND_SERVER" = pipewire ] || return 0
  local through_pulse=yes expected=yes
  pactl list sink-inputs | grep -q 'client.api = "pipewire-pulse"' || through_pulse=no
  [ "${SDL_AUDIODRIVER:-}" = pipewire ] && expected=no
  [ "$through_pulse" = "$expected" ]
}
program_ended() { ! kill -0 "$APP_PID" 2>/dev/null; }

# Records NAME.raw from the null sink's monitor for 1.6 s.
record() {
  timeout 1.6 parec --latency-msec=20 -d "$SINK.monitor" --rate=48000 --channels=2 --format=s16le >"$WORK/$1.raw"
}

# expect_sound NAME [tone_check arguments]: records until the recording shows
# what tone_check is asked for, or gives up after a few tries: a change made
# through the window reaches the sink after a short while, not at a known
# instant.
expect_sound() {
  local name=$1
  shift
  for _ in 1 2 3 4; do
    record "$name"
    "$TONE_CHECK" "$WORK/$name.raw" "$@" >"$WORK/$name.txt" && return 0
  done
  cat "$WORK/$name.txt"
  return 1
}

# Sends SIGTERM and waits up to 10 s for the end; EXIT_STATUS is its code.
end_program() {
  kill -TERM "$APP_PID"
  poll_for 100 program_ended || fail "the program did not end within 10 s of SIGTERM"
  wait "$APP_PID"
  EXIT_STATUS=$?
  APP_PID=
}
