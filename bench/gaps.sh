#!/usr/bin/env bash
# The gap measurement at full length: the program's start-up tones on a
# private PulseAudio null sink for 60 s idle and 60 s with a busy loop per
# core, every departure from the tones' exact period counted, and the
# latency the server reports. See tests/e2e/gaps.sh.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh >/dev/null
tests/e2e/gaps.sh build/sinefold build/tests/e2e/gap_check 60 60
