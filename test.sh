#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the whole suite, the
# end-to-end tests included, and meanwhile the tests under the thread
# sanitizer and under the address and undefined behaviour sanitizers, and the
# number parser under libFuzzer.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh

jobs=$(nproc)
# The whole suite starts as soon as its build is there: its end-to-end tests
# spend most of their time waiting for sound to play, and the sanitizer
# builds below, at a lower priority, fill that time. Its report comes last.
# Twice as many tests at once as there are cores; the gap measurements still
# run alone among them (tests/e2e/CMakeLists.txt).
echo "== the whole suite, in the background; its report follows at the end"
suite_log=build/suite.log
setsid ctest --test-dir build --output-on-failure -j $((jobs * 2)) >"$suite_log" 2>&1 &
suite=$!
# Whatever ends this script early ends the suite and its tests too.
trap 'kill -- -"$suite" 2>/dev/null || true' EXIT

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
  nice -n 10 cmake --build "$dir"
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ASAN_OPTIONS="detect_leaks=1 abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1" \
    ctest --test-dir "$dir" --output-on-failure -j "$jobs"
done

# clang and MPFR come with scripts/install-deps.sh; the fuzz run is never
# skipped. New inputs go to build-fuzz/corpus, the seeds stay in the tree.
echo "== fuzzing the number parser for 30 s"
cmake -S tests/fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
nice -n 10 cmake --build build-fuzz
mkdir -p build-fuzz/corpus
if ! build-fuzz/number_syntax_fuzz -max_total_time=30 -artifact_prefix=build-fuzz/ build-fuzz/corpus tests/fuzz/corpus \
    >build-fuzz/fuzz.log 2>&1; then
  tail -40 build-fuzz/fuzz.log
  exit 1
fi
tail -1 build-fuzz/fuzz.log

echo "== the whole suite"
suite_status=0
wait "$suite" || suite_status=$?
trap - EXIT
cat "$suite_log"
exit "$suite_status"
