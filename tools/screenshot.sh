#!/usr/bin/env bash
# Sourced by the screenshot tools: runs a Windows test program under wine64 on a private
# Xvfb display until it prints a line starting with MARKER, then screenshots the root window.
# screenshot_program EXE MARKER OUTPUT.png [ARGS...]  — runs EXE ARGS... 8 (seconds up);
# sets SCREENSHOT_LINE to the program's marker line.
source "$(dirname "${BASH_SOURCE[0]}")/display.sh"

screenshot_program() {
  local exe=$1 marker=$2 out=$3
  shift 3
  [ -x "$exe" ] || { echo "build the win64 preset first" >&2; return 1; }
  unset DISPLAY
  start_private_display
  export WINEPREFIX="$PWD/build/wineprefix"
  trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; stop_private_display' EXIT
  local log runner
  log=$(mktemp)
  tools/wine/wine-exec.sh "$exe" "$@" 8 >"$log" 2>&1 &
  runner=$!
  for _ in $(seq 1 100); do grep -q "^$marker" "$log" && break; sleep 0.2; done
  sleep 1
  import -window root "$out"
  wait "$runner" || true
  SCREENSHOT_LINE=$(grep "^$marker" "$log" | tr -d '\r')
  rm -f "$log"
}
