#!/usr/bin/env bash
# Takes a screenshot under Xvfb of a window opened with the application's flags and
# reports where its inner area is: the window prints its inner rectangle, and ImageMagick
# finds the painted area on the black root window (no window manager, so no frame is drawn).
# Usage: tools/window_screenshot.sh [OUTPUT.png]   (after building the win64 preset)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/window_screenshot.png}
exe=build/win64/tests/gui/show_application_window.exe
[ -x "$exe" ] || { echo "build the win64 preset first" >&2; exit 1; }
source tools/display.sh
unset DISPLAY
start_private_display
export WINEPREFIX="$PWD/build/wineprefix"
cleanup() {
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  stop_private_display
}
trap cleanup EXIT
log=$(mktemp)
tools/wine/wine-exec.sh "$exe" 8 >"$log" 2>&1 &
runner=$!
for _ in $(seq 1 100); do grep -q '^inner' "$log" && break; sleep 0.2; done
sleep 1
import -window root "$out"
wait "$runner" || true
echo "window reports: $(grep '^inner' "$log" | tr -d '\r')"
echo "screen: $(identify -format '%wx%h' "$out"); painted area: $(convert "$out" -trim -format '%wx%h at %X,%Y' info:)"
rm -f "$log"
