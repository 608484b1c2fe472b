#!/usr/bin/env bash
# Installs what is missing, builds, and starts Sinefold.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
exec build/sinefold
