#!/usr/bin/env bash
# Builds both widths and runs the benchmark (bench/main.cpp) of each under Wine, in the same setting
# as scripts/test.sh (see wine-session.sh): one virtual X display, the Wine prefix build/wine-prefix,
# one persistent wineserver and a desktop started beforehand. Arguments go to the benchmark, e.g.
# scripts/bench.sh --runs 11 --cycles 100. Prints one table per width.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh
scripts/build.sh >/dev/null

# The display, the prefix and the wineserver: see wine-session.sh.
source scripts/wine-session.sh

wine64=$(command -v wine64 || ls /usr/lib/wine/wine64 2>/dev/null || echo wine)
"$wine64" build/mingw-x64/bin/kelvane_bench.exe "$@"
wine build/mingw-x86/bin/kelvane_bench.exe "$@"
