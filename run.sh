#!/usr/bin/env bash
# Installs what is missing, builds, and starts Sinefold.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh program
scripts/build.sh program
exec build/sinefold
