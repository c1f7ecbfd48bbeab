#!/usr/bin/env bash
# Sourced: gives the caller an X display, starting a private Xvfb when none is set.
# The caller stops it with stop_private_display.
start_private_display() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local n
  for n in $(seq 91 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    TLE_XVFB_PID=$!
    for _ in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
      sleep 0.1
    done
    kill "$TLE_XVFB_PID" 2>/dev/null || true
  done
  echo "no X display could be started" >&2
  return 1
}
stop_private_display() {
  if [ -n "${TLE_XVFB_PID:-}" ]; then kill "$TLE_XVFB_PID" 2>/dev/null || true; wait "$TLE_XVFB_PID" 2>/dev/null || true; fi
}
