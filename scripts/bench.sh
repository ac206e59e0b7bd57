#!/usr/bin/env bash
# Builds both widths and runs the benchmark (bench/main.cpp) of each under Wine, in the same setting
# as scripts/test.sh: one virtual X display, the Wine prefix build/wine-prefix, one persistent
# wineserver and a desktop started beforehand. Arguments go to the benchmark, e.g.
# scripts/bench.sh --runs 11 --cycles 100. Prints one table per width.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/build.sh >/dev/null

export WINEPREFIX="$root/build/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
if [ ! -f "$WINEPREFIX/.kelvane-prefix" ]; then
  echo "bench.sh: no Wine prefix yet; run scripts/test.sh once first" >&2
  exit 1
fi

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  wineserver -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

for n in $(seq 90 189); do
  { [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; } && continue
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -S "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  if [ -S "/tmp/.X11-unix/X$n" ]; then
    export DISPLAY=":$n"
    break
  fi
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
done
[ -n "${DISPLAY:-}" ] || { echo "bench.sh: no X display could be started" >&2; exit 1; }

wineserver -k 2>/dev/null || true
wineserver -p
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
mkfifo "$work/keeper"
wine cmd.exe <"$work/keeper" >/dev/null 2>&1 &
exec 3>"$work/keeper"
timeout 60 wine rundll32.exe kernel32.dll,KelvaneDesktopReady </dev/null >/dev/null 2>&1 || true

wine64=$(command -v wine64 || ls /usr/lib/wine/wine64 2>/dev/null || echo wine)
"$wine64" build/mingw-x64/bin/kelvane_bench.exe "$@"
wine build/mingw-x86/bin/kelvane_bench.exe "$@"
