#!/usr/bin/env bash
# Formats the C++ sources of src/, tests/, test-programs/ and bench/ with clang-format and the
# house style in .clang-format. --check changes nothing and fails, naming the files, when any
# file differs from the style (scripts/test.sh runs it so).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

if ! command -v clang-format >/dev/null; then
  echo "format.sh: clang-format is missing; scripts/install-deps.sh installs it" >&2
  exit 1
fi
mapfile -t files < <(git ls-files -co --exclude-standard -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' \
  'tests/*.h' 'test-programs/*.cpp' 'test-programs/*.h' 'bench/*.cpp' 'bench/*.h')

if [ "${1:-}" = "--check" ]; then
  differing=()
  for file in "${files[@]}"; do
    clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || differing+=("$file")
  done
  if [ ${#differing[@]} -gt 0 ]; then
    echo "These files differ from the house style (.clang-format):" >&2
    printf '  %s\n' "${differing[@]}" >&2
    echo "Run: bash scripts/format.sh" >&2
    exit 1
  fi
  exit 0
fi
clang-format -i "${files[@]}"
