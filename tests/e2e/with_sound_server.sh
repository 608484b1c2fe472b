#!/usr/bin/env bash
# Runs a command with a private X server and sound server (null sink) up, and
# stops them again afterwards. The command's exit code is returned.
set -uo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=sound_server.sh
source "$HERE/sound_server.sh"
trap stop_sound_server EXIT
start_sound_server || exit 1
"$@"
