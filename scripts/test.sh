#!/usr/bin/env bash
# Builds both widths and runs all their tests under Wine, in one virtual X display, one Wine prefix
# (build/wine-prefix: made once, kept between runs) and one persistent wineserver for the run, so
# that each test process starts in a fraction of a second. Both widths always run; the script
# fails when either does. Then the demo (scripts/demo.sh) runs for both widths and checks its
# screenshots. The sources are checked against the house style first (scripts/format.sh --check).
# Arguments go to ctest, e.g. scripts/test.sh -R Detect; with arguments the demo is
# left out.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh
scripts/format.sh --check
scripts/build.sh

# The display, the prefix and the wineserver: see wine-session.sh.
source scripts/wine-session.sh

# Double Commander, a real host for tests/double_commander_test.cpp, in both widths: each archive
# is unpacked afresh into the prefix for each run, from ../shared/hosts/ beside the clone or from
# the archive that KELVANE_DOUBLECMD64 (KELVANE_DOUBLECMD32) names. A width whose archive is missing
# has its cases skipped, and they say why.
rm -rf "$WINEPREFIX/drive_c/kelvane-hosts"
declare -A doublecmd_exe=()
for width in 64 32; do
  variable=KELVANE_DOUBLECMD$width
  archive=${!variable:-$root/../shared/hosts/doublecmd-1.1.32-win$width.tar.xz}
  if [ -f "$archive" ]; then
    mkdir -p "$WINEPREFIX/drive_c/kelvane-hosts/$width"
    tar -xJf "$archive" -C "$WINEPREFIX/drive_c/kelvane-hosts/$width"
    doublecmd_exe[$width]="C:\\kelvane-hosts\\$width\\dc\\doublecmd.exe"
  else
    echo "test.sh: no Double Commander archive at $archive: its $width-bit cases are skipped"
  fi
done

status=0
passed=0
skipped=0
failed=0
presets="mingw-x64 mingw-x86"
demos="x64 x86"
if [ "$KELVANE_RUNS_32BIT" != 1 ]; then
  presets=mingw-x64
  demos=x64
  echo "test.sh: THIS MACHINE RUNS NO 32-BIT PROGRAMS (its kernel refuses them: Exec format error):" \
    "the 32-bit width's tests and demo are not run; the 32-bit library is built and its export" \
    "table checked only" >&2
fi
for preset in $presets; do
  echo "=== $preset"
  width=64
  [ "$preset" = mingw-x64 ] || width=32
  export KELVANE_DOUBLECMD_EXE="${doublecmd_exe[$width]:-}"
  ctest --preset "$preset" --no-tests=error "$@" 2>&1 | tee "$work/$preset.log" || status=1
  # "91% tests passed, 1 tests failed out of 11"; a run that ended without it counts as one failure.
  summary=$(sed -n 's/.*tests passed, \([0-9]*\) tests* failed out of \([0-9]*\).*/\1 \2/p' "$work/$preset.log")
  if [ -n "$summary" ]; then
    read -r bad total <<<"$summary"
    # ctest counts a skipped test as passed and lists it as "<n> - <name> (Skipped)".
    skips=$(grep -c ' (Skipped)$' "$work/$preset.log" || true)
    passed=$((passed + total - bad - skips))
    skipped=$((skipped + skips))
    failed=$((failed + bad))
  else
    echo "test.sh: $preset ended without a test summary" >&2
    failed=$((failed + 1))
    status=1
  fi
done
if [ $# -eq 0 ]; then
  for width in $demos; do
    echo "=== demo $width"
    option=""
    [ "$width" = x64 ] || option=--x86
    if scripts/demo.sh --no-build $option; then
      passed=$((passed + 1))
    else
      failed=$((failed + 1))
      status=1
    fi
  done
else
  echo "=== demo left out: a test selection was given"
fi
[ "$KELVANE_RUNS_32BIT" = 1 ] || echo "test.sh: the 32-bit width was not run: this machine runs no 32-bit programs"
echo "$passed passed, $skipped skipped, $failed failed"
exit "$status"
