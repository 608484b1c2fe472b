#!/usr/bin/env bash
# Installs, with apt-get, whatever Debian packages the build, the tests or the
# program need and the machine lacks. Runs as root or through sudo.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev libxcb1-dev libsdl2-dev
  libgtest-dev libbenchmark-dev
  # libFuzzer for the number parser, MPFR for its exact reference
  clang libclang-rt-14-dev libmpfr-dev
  fonts-liberation fonts-dejavu-core
  # the end-to-end test: a private X server and sound server, and a recorder
  xvfb xauth x11-utils pulseaudio pulseaudio-utils
  # real input events for the end-to-end test
  xdotool
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
