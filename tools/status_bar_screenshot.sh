#!/usr/bin/env bash
# Takes a screenshot under Xvfb, with LANG=C (so the ANSI code page is not Cyrillic), of
# the application's window showing "Файл  *mytle.txt* загружен" centred in its status bar,
# and crops the bar out of it. The window prints where its bar is.
# Usage: tools/status_bar_screenshot.sh [OUTPUT.png]   (after building the win64 preset)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/status_bar_screenshot.png}
export LANG=C LC_ALL=C
source tools/screenshot.sh
screenshot_program build/win64/tests/gui/show_application_window.exe bar "$out" --status-bar
bar=$SCREENSHOT_LINE
echo "window reports: $bar"
read -r width height x y < <(sed -E 's/bar ([0-9]+)x([0-9]+) at (-?[0-9]+),(-?[0-9]+)/\1 \2 \3 \4/' <<<"$bar")
convert "$out" -crop "${width}x${height}+${x}+${y}" +repage "${out%.png}_bar.png"
echo "screenshot: $out; status bar: ${out%.png}_bar.png"
