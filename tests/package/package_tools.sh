#!/usr/bin/env bash
# What the package tests share: skipping (exit 77, which CTest shows as
# skipped) when a tool is missing, and making the package from the build
# folder with scripts/package.sh. Source it.

# shellcheck disable=SC2034  # the tests that source this read them
PACKAGE_TEST_SKIP=77
# The hicolor sizes the package must hold a PNG icon for.
ICON_SIZES=(16 22 24 32 48 64 128 256)

# require_tools TOOL...: skips the test unless every tool is installed.
require_tools() {
  local tool
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIP: $tool is not installed"
      exit "$PACKAGE_TEST_SKIP"
    fi
  done
}

# What scripts/package.sh itself runs: dpkg-deb and dpkg-shlibdeps (dpkg-dev),
# and rsvg-convert (librsvg2-bin) for the PNG icons.
PACKAGE_TOOLS=(dpkg-deb dpkg-shlibdeps rsvg-convert)

# make_package PACKAGE_SH BUILD OUT: makes the package into OUT; DEB is its
# path.
make_package() {
  DEB=$("$1" "$2" "$3") && [ -f "$DEB" ]
}
