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

"$wine64" build/mingw-x64/bin/kelvane_bench.exe "$@"
if [ "$KELVANE_RUNS_32BIT" = 1 ]; then
  wine build/mingw-x86/bin/kelvane_bench.exe "$@"
else
  echo "bench.sh: this machine runs no 32-bit programs: the 32-bit benchmark is not run" >&2
fi
