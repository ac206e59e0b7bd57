#!/usr/bin/env bash
# Configures and builds both widths (presets mingw-x64 and mingw-x86), after installing the cross
# compilers when they are missing, then packs the installable archive dist/Kelvane-<version>.zip
# (cmake/package.cmake). Run again, it only rebuilds what changed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --build-only
for preset in mingw-x64 mingw-x86; do
  # Configuring again is cheap and picks up edits to the presets, which the build does not watch.
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
cmake -P cmake/package.cmake
