#!/usr/bin/env bash
# Builds the program and runs it: on Linux the x86_64 build under wine64 (the shipped
# i686 build cannot run here), on a display of its own when none is set.
set -euo pipefail
cd "$(dirname "$0")/.."
./tools/setup.sh
for preset in win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target tle
done
source tools/display.sh
start_private_display
export WINEPREFIX="$PWD/build/wineprefix"
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; stop_private_display' EXIT
set +e
tools/wine/wine-exec.sh build/win64/app/tle.exe
code=$?
set -e
echo "tle.exe ended with exit code $code"
exit $code
