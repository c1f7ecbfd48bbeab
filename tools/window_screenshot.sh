#!/usr/bin/env bash
# Takes a screenshot under Xvfb of a window opened with the application's flags and
# reports where its inner area is: the window prints its inner rectangle, and ImageMagick
# finds the painted area on the black root window (no window manager, so no frame is drawn).
# Usage: tools/window_screenshot.sh [OUTPUT.png]   (after building the win64 preset)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/window_screenshot.png}
source tools/screenshot.sh
screenshot_program build/win64/tests/gui/show_application_window.exe inner "$out"
echo "window reports: $SCREENSHOT_LINE"
echo "screen: $(identify -format '%wx%h' "$out"); painted area: $(convert "$out" -trim -format '%wx%h at %X,%Y' info:)"
