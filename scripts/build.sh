#!/usr/bin/env bash
# Configures and builds into build/: the program with its tests and
# benchmarks, or with "program" the program alone (build/sinefold and its
# audio library), which needs none of the test tools. Each form sets both
# options, so that build/ switches cleanly between them.
set -euo pipefail
cd "$(dirname "$0")/.."
extras=ON
targets=()
if [ "${1:-}" = program ]; then
  extras=OFF
  targets=(--target sinefold)
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSINEFOLD_BUILD_TESTS=$extras -DSINEFOLD_BUILD_BENCH=$extras >/dev/null
cmake --build build "${targets[@]}"
