#!/usr/bin/env bash
# CPU use of the running program with its eight start-up tones playing on a
# private PulseAudio null sink and the window left alone, and of the sound
# server beside it: per cent of one core over SECONDS (default 20), from
# the processes' user and system times in /proc.
#
# usage: bench/cpu.sh [SECONDS]
set -uo pipefail
cd "$(dirname "$0")/.."
SECONDS_MEASURED=${1:-20}
scripts/install-deps.sh
scripts/build.sh >/dev/null
source tests/e2e/sound_server.sh
APP_PID=
cleanup() {
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null && wait "$APP_PID" 2>/dev/null
  stop_sound_server
}
trap cleanup EXIT
start_sound_server || exit 1
build/sinefold >/dev/null 2>&1 &
APP_PID=$!
xdotool search --sync --onlyvisible --name '^Sinefold' >/dev/null
sleep 2  # past the start-up's own work, which is not what is measured

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
app0=$(ticks "$APP_PID") server0=$(ticks "$PULSE_PID") start=$(date +%s.%N)
sleep "$SECONDS_MEASURED"
app1=$(ticks "$APP_PID") server1=$(ticks "$PULSE_PID") end=$(date +%s.%N)
awk -v a=$((app1 - app0)) -v s=$((server1 - server0)) -v hz="$hz" -v t0="$start" -v t1="$end" 'BEGIN {
  wall = t1 - t0
  printf "program: %.2f %% of one core\nsound server: %.2f %% of one core\n(over %.1f s)\n", 100 * a / hz / wall, 100 * s / hz / wall, wall
}'
