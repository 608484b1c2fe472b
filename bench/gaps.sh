#!/usr/bin/env bash
# The gap measurement at full length: the program's start-up tones on a
# private null sink for IDLE seconds idle and LOADED seconds with a busy loop
# per core (60 and 60 unless given), every departure from the tones' exact
# period counted, and the latency the server reports. ROUTE chooses the sound
# server and SDL's way to it:
#   pulseaudio      PulseAudio, SDL's PulseAudio driver (the default)
#   pipewire-pulse  PipeWire through pipewire-pulse, SDL's PulseAudio driver
#   pipewire        PipeWire, SDL's own PipeWire driver
# See tests/e2e/gaps.sh, which the PipeWire routes need to be able to start
# PipeWire (tests/e2e/sound_server.sh, SINEFOLD_SOUND_SERVER=pipewire).
#
# usage: bench/gaps.sh [ROUTE [IDLE [LOADED]]]   e.g. bench/gaps.sh pipewire 600 600
set -uo pipefail
ROUTE=${1:-pulseaudio}
IDLE=${2:-60}
LOADED=${3:-60}
case "$ROUTE" in
  pulseaudio) ;;
  pipewire-pulse) export SINEFOLD_SOUND_SERVER=pipewire ;;
  pipewire) export SINEFOLD_SOUND_SERVER=pipewire SDL_AUDIODRIVER=pipewire ;;
  *) echo "unknown route $ROUTE (pulseaudio, pipewire-pulse or pipewire)" >&2; exit 2 ;;
esac
cd "$(dirname "$0")/.."
if [ "$ROUTE" != pulseaudio ] && ! grep -q SINEFOLD_SOUND_SERVER tests/e2e/sound_server.sh; then
  echo "tests/e2e/sound_server.sh cannot start PipeWire: only the pulseaudio route can be measured" >&2
  exit 2
fi
scripts/install-deps.sh
scripts/build.sh >/dev/null
tests/e2e/gaps.sh build/sinefold build/tests/e2e/gap_check "$IDLE" "$LOADED"
