#!/usr/bin/env bash
# The demo: builds both widths and the archive, installs the archive's plugin with the stand-in
# viewer as a user would (build/demo/plugin/: Kelvane.wlx64, Kelvane64\kelv64.exe, ...), and runs
# the stand-in host kelvhost.exe under Wine in Xvfb. The host opens a picture in a Lister window and
# in the quick-view pane, clicks into the viewer and presses the right arrow key, and writes the
# screenshots dist/screenshots/lister.png and dist/screenshots/quickview.png, which it checks by
# their pixels. Exits non-zero when a check fails.
#
# Under Wine 8 the embedded viewer's window, a child of another process's window, is not drawn on
# the X screen at all; lister-screen.png and quickview-screen.png show the screen as it is, and in
# lister.png and quickview.png the viewer's region is filled from the viewer's own drawing of its
# window (the stand-in viewer writes it to the file KELV_MIRROR names).
#
#   scripts/demo.sh [--no-build] [--x86] [kelvhost options: --capture=gdi, --post-keys]
#
# --x86 runs the 32-bit host, which loads Kelvane.wlx and starts Kelvane\kelv32.exe, and writes
# its screenshots to dist/screenshots/x86/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

build=1
preset=mingw-x64
shots="$root/dist/screenshots"
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) build=0 ;;
    --x86) preset=mingw-x86; shots="$root/dist/screenshots/x86" ;;
    *) break ;;
  esac
  shift
done
if [ "$build" = 1 ]; then
  scripts/install-deps.sh
  scripts/build.sh
fi

version=$(sed -n 's/^#define KELVANE_VERSION_TEXT "\(.*\)"$/\1/p' build/mingw-x64/src/version.h)
archive="dist/Kelvane-$version.zip"
[ -f "$archive" ] || { echo "demo.sh: $archive is missing; run scripts/build.sh" >&2; exit 1; }

# The plugin as installed from the archive, with the stand-in viewers where the plugin looks.
demo="$root/build/demo"
rm -rf "$demo"
mkdir -p "$demo/plugin/Kelvane64" "$demo/plugin/Kelvane" "$demo/pictures"
(cd "$demo/plugin" && cmake -E tar xf "$root/$archive")
cp build/mingw-x64/bin/kelv64.exe "$demo/plugin/Kelvane64/"
cp build/mingw-x86/bin/kelv32.exe "$demo/plugin/Kelvane/"
mkdir -p "$shots"
rm -f "$shots"/*.png "$shots"/*.request "$shots"/*.done "$shots"/*.xwd

# The display, the prefix and the wineserver: see wine-session.sh.
source scripts/wine-session.sh

loader=$wine64
[ "$preset" = mingw-x64 ] || loader=wine

# Wine's drive Z: is the Unix root.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# The host asks for each screenshot with <name>.request in the screenshot folder and goes on when
# <name>.done appears: the X screen is dumped in between (xwd), because only the X server holds
# the whole picture (the viewer's window, another process's, is not in the host's view of the
# screen under Wine). Every wait of the host is bounded, and so is the whole run.
timeout 120 "$loader" "build/$preset/bin/kelvhost.exe" --capture=x11 "$@" "$(windows_path "$demo/plugin")" \
  "$(windows_path "$demo/pictures")" "$(windows_path "$shots")" &
host=$!
while kill -0 "$host" 2>/dev/null; do
  for request in "$shots"/*.request; do
    [ -e "$request" ] || continue
    name=$(basename "$request" .request)
    rm -f "$request"
    xwd -root -silent -out "$shots/$name-root.xwd"
    touch "$shots/$name.done"
  done
  sleep 0.05
done
status=0
wait "$host" || status=$?
rm -f "$shots"/*.request "$shots"/*.done "$shots"/*.xwd
exit "$status"
