#!/usr/bin/env bash
# Takes the pictures of the real window at higher screen scales that docs/
# shows beside docs/window.png (which tests/e2e/play_tones.sh takes at scale
# 1): docs/window@1.5x.png and docs/window@2x.png, under a private X server
# large enough for the window at scale 2 and a private sound server.
#
# usage: scripts/screenshots.sh [BUILD]   (build/ unless named; scripts/build.sh builds it)
set -uo pipefail
SOURCE=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$SOURCE/build}
E2E=$SOURCE/tests/e2e
# shellcheck source=../tests/e2e/sound_server.sh
source "$E2E/sound_server.sh"
# shellcheck source=../tests/e2e/program_run.sh
source "$E2E/program_run.sh"
LARGE_PID=
trap '[ -n "$LARGE_PID" ] && kill "$LARGE_PID"; cleanup_program_run' EXIT

start_sound_server || fail "could not start the sound server"
Xvfb -displayfd 3 -screen 0 2560x1600x24 -nolisten tcp 3>"$WORK/large" >/dev/null 2>&1 &
LARGE_PID=$!
large_listens() { [ -s "$WORK/large" ]; }
poll_for 100 large_listens || fail "the large X server did not start"
export DISPLAY=:$(cat "$WORK/large")

# The window's picture once two grabs a tenth of a second apart agree: the
# start-up painting is over.
save_when_settled() {
  local out=$1 previous=$WORK/previous.png
  "$BUILD/tests/e2e/screen_check" save "$previous" "${@:2}"
  for _ in $(seq 100); do
    sleep 0.1
    "$BUILD/tests/e2e/screen_check" save "$out" "${@:2}"
    cmp -s "$out" "$previous" && return 0
    cp "$out" "$previous"
  done
  return 1
}

for scale in 1.5 2; do
  QT_SCALE_FACTOR=$scale start_program "$BUILD/sinefold"
  poll_for 100 has_stream || fail "no stream reached the sink at scale $scale"
  window=$(xdotool search --sync --onlyvisible --name '^Sinefold' | head -1)
  eval "$(xdotool getwindowgeometry --shell "$window")"
  save_when_settled "$SOURCE/docs/window@${scale}x.png" "$X" "$Y" "$WIDTH" "$HEIGHT" ||
    fail "the window at scale $scale never settled"
  echo "docs/window@${scale}x.png: ${WIDTH}x$HEIGHT"
  end_program
done
