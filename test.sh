#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: under the thread
# sanitizer and under the address and undefined behaviour sanitizers, the
# number parser under libFuzzer, then the whole suite, the end-to-end tests
# included.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh

jobs=$(nproc)
# The thread sanitizer takes the code that shares data with the audio thread;
# the address and undefined behaviour sanitizers take the widgets and the
# window as well. There `all` is the test programs alone (cmake/BuildTime.cmake).
for sanitizer in thread address; do
  dir=build-$sanitizer
  ui=OFF
  [ "$sanitizer" = address ] && ui=ON
  echo "== $sanitizer sanitizer"
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSINEFOLD_SANITIZER=$sanitizer \
    -DSINEFOLD_BUILD_UI=$ui -DSINEFOLD_BUILD_BENCH=OFF >/dev/null
  cmake --build "$dir"
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ASAN_OPTIONS="detect_leaks=1 abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1" \
    ctest --test-dir "$dir" --output-on-failure -j "$jobs"
done

# clang and MPFR come with scripts/install-deps.sh; the fuzz run is never
# skipped. New inputs go to build-fuzz/corpus, the seeds stay in the tree.
echo "== fuzzing the number parser for 30 s"
cmake -S tests/fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz
mkdir -p build-fuzz/corpus
if ! build-fuzz/number_syntax_fuzz -max_total_time=30 -artifact_prefix=build-fuzz/ build-fuzz/corpus tests/fuzz/corpus \
    >build-fuzz/fuzz.log 2>&1; then
  tail -40 build-fuzz/fuzz.log
  exit 1
fi
tail -1 build-fuzz/fuzz.log

echo "== the whole suite"
# Twice as many at once as there are cores: the end-to-end tests spend most
# of their time waiting for sound to play. The gap measurements still run
# alone (tests/e2e/CMakeLists.txt).
ctest --test-dir build --output-on-failure -j $((jobs * 2))
