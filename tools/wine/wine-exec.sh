#!/usr/bin/env bash
# Runs a Windows executable under the 64-bit Wine loader in the build tree's own prefix.
# Used as the cross-compiling emulator, so ctest runs the Windows tests like native ones.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export WINEDEBUG=${WINEDEBUG:--all}
export WINEPREFIX=${WINEPREFIX:-$(cd "$here/../.." && pwd)/build/wineprefix}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
"$here/wine-prefix.sh" >/dev/null
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" /usr/lib/wine/wine64 "$@"
fi
exec /usr/lib/wine/wine64 "$@"
