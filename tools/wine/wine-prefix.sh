#!/usr/bin/env bash
# Makes the 64-bit Wine prefix named by WINEPREFIX once; concurrent callers wait for the first.
set -euo pipefail
: "${WINEPREFIX:?}"
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [ ! -f "$WINEPREFIX/.tle-ready" ]; then
  rm -rf "$WINEPREFIX"
  WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
  /usr/lib/wine/wineserver -w || true
  [ -f "$WINEPREFIX/system.reg" ] || { echo "wine prefix $WINEPREFIX could not be made" >&2; exit 1; }
  touch "$WINEPREFIX/.tle-ready"
fi
