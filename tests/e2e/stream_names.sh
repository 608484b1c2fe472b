#!/usr/bin/env bash
# Starts the program on a private sound server and reads its playback stream's
# properties back from the server: the desktop's mixers must show it as
# "Sinefold" / "Test tones" with the icon "sinefold", not as SDL's defaults.
# SDL_AUDIODRIVER, when set, chooses SDL's route to the server.
#
# usage: stream_names.sh PATH/TO/sinefold
set -uo pipefail
SINEFOLD=$1
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=sound_server.sh
source "$HERE/sound_server.sh"
# shellcheck source=program_run.sh
source "$HERE/program_run.sh"

start_sound_server || fail "could not start the sound server"
start_program "$SINEFOLD"
poll_for 100 has_stream || fail "no stream reached the sink within 10 s"
stream_takes_route_asked || fail "the stream did not come the way SDL_AUDIODRIVER='${SDL_AUDIODRIVER:-}' asks"

pactl list sink-inputs >"$WORK/streams.txt"
faults=0
expect_property() {
  if ! grep -qxE "\s*$1 = \"$2\"" "$WORK/streams.txt"; then
    echo "the stream's $1 is not \"$2\": $(grep -E "^\s*$1 = " "$WORK/streams.txt" | xargs)"
    faults=1
  fi
}
expect_property application.name Sinefold
expect_property media.name "Test tones"
expect_property application.icon_name sinefold
[ "$faults" -eq 0 ] || fail "the mixers do not show the program's names (see above)"
echo "PASS: the stream shows as Sinefold / Test tones with the icon sinefold"
