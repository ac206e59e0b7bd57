# Sourced by test.sh and demo.sh (after `root` is set to the repository's root): starts one
# virtual X display, one Wine prefix (build/wine-prefix: made once, kept between runs) and one
# persistent wineserver for the run, so that each Windows program starts in a fraction of a
# second. Sets `work` to a scratch folder; everything is stopped and removed when the calling
# script exits. A script started inside a session (test.sh runs demo.sh) uses that session.

# Wine gives files their names in the Unix locale's character set: without a UTF-8 locale it
# cannot name a file "café.bmp". C.UTF-8 is built into Debian's C library.
case "${LC_ALL:-${LC_CTYPE:-${LANG:-}}}" in
  *.UTF-8 | *.utf8 | *.UTF8 | *.utf-8) ;;
  *) export LC_ALL=C.UTF-8 ;;
esac

# Wine's 64-bit loader starts 64-bit programs and Wine's own tools directly: "wine" would hand them
# on through its 32-bit loader, which some machines cannot run (below).
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)

# Whether this machine runs 32-bit programs at all. The kernels of some virtual machines run no
# 32-bit code ("Exec format error" for any 32-bit executable): there neither the 32-bit loader nor
# any 32-bit Windows program can start, and the scripts leave the 32-bit width's runs out and say
# so. KELVANE_RUNS_32BIT tells the tests as well.
if [ -z "${KELVANE_RUNS_32BIT:-}" ]; then
  KELVANE_RUNS_32BIT=0
  wine32_loader=$(command -v wine32 || echo /usr/lib/wine/wine)
  if [ -x "$wine32_loader" ] && "$wine32_loader" --version >/dev/null 2>&1; then
    KELVANE_RUNS_32BIT=1
  fi
  export KELVANE_RUNS_32BIT
fi

if [ -n "${KELVANE_WINE_SESSION:-}" ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  trap 'exit 130' INT TERM
  return 0
fi

export WINEPREFIX="$root/build/wine-prefix"
export WINEDEBUG=-all
# No menu entries or file associations written to the desktop, no Mono or Gecko install prompt.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="

session_name=${0##*/}
work=$(mktemp -d)
xvfb_pid=""
server=""
cleanup() {
  [ -z "$server" ] || wineserver -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The first free display from :90 up; a server that loses the number to another one exits, and
# the next number is tried.
start_display() {
  local n
  for n in $(seq 90 189); do
    { [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; } && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
      if [ -S "/tmp/.X11-unix/X$n" ]; then
        export DISPLAY=":$n"
        return 0
      fi
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  done
  echo "$session_name: no X display could be started" >&2
  cat "$work/xvfb.log" >&2
  return 1
}
start_display

# A server left over from an interrupted run would still talk to that run's display.
wineserver -k 2>/dev/null || true
mkdir -p "$WINEPREFIX"
wineserver -p
server=1
if [ ! -f "$WINEPREFIX/.kelvane-prefix" ]; then
  echo "$session_name: creating the Wine prefix $WINEPREFIX (once, about 20 s)"
  if ! timeout 300 "$wine64" wineboot -i >"$work/wineboot.log" 2>&1; then
    cat "$work/wineboot.log" >&2
    exit 1
  fi
  # The version the plugin meets on users' machines, whatever this Wine build's default.
  "$wine64" winecfg /v win10 >/dev/null 2>&1
  touch "$WINEPREFIX/.kelvane-prefix"
fi
# The display at 100 % before any program starts (each reads the scale once, at its start): a run
# stopped while the scaled path-bar suite ran may have left that suite's LogPixels behind.
"$wine64" reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 || true
# No window manager runs under Xvfb: unmanaged windows, or Wine waits for one on every window.
"$wine64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
# A crashing test ends with a backtrace on its output instead of a dialog that waits for a click.
"$wine64" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null
# The desktop process must outlive every test: started by a test, it would hold that test's output
# pipe open, and ctest would wait until the desktop closes, a second after its last program ends.
# So one program stays on the desktop for the whole run (cmd.exe, reading a pipe that stays open),
# and the desktop is started here with no output: rundll32 makes a window before it looks for its
# entry point, so it returns once the desktop is up.
mkfifo "$work/keeper"
"$wine64" cmd.exe <"$work/keeper" >/dev/null 2>&1 &
exec 3>"$work/keeper"
timeout 60 "$wine64" rundll32.exe kernel32.dll,KelvaneDesktopReady </dev/null >/dev/null 2>&1 || true
export KELVANE_WINE_SESSION=1
# Leftovers of tests that crashed in earlier runs.
find "$WINEPREFIX/drive_c/users" -maxdepth 5 -path '*/Temp/*' \
  \( -name 'kelvane-*' -o -name 'kelv-log-*' \) -prune -exec rm -rf {} + 2>/dev/null || true
