#!/usr/bin/env bash
# Builds and runs the benchmarks against a private PulseAudio null sink, then
# reports the latency PulseAudio sees for the running program's stream.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh >/dev/null
source tests/e2e/sound_server.sh
trap stop_sound_server EXIT
start_sound_server

build/bench/sinefold_bench "$@"
build/bench/sinefold_widget_bench

echo "== latency of the program's stream on the null sink"
build/sinefold >/dev/null 2>&1 &
app=$!
sleep 2
pactl list sink-inputs | grep -E 'Latency' | head -2
kill -TERM $app
wait $app
