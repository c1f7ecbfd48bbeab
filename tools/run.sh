#!/usr/bin/env bash
# Builds the program and runs it: on Linux the x86_64 build under wine64 (the shipped
# i686 build cannot run here), on a display of its own when none is set. It talks to the
# real element-set servers. Its files go to build/win64/app (the program's directory, and
# the current directory of the run).
#
# On a display of its own nobody can see the window, so our end-to-end driver plays the
# person: it prints what the window shows, presses OK on every message box and closes the
# window once the job is over.
set -euo pipefail
cd "$(dirname "$0")/.."
./tools/setup.sh
for preset in win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target tle
done
private_display=0
[ -n "${DISPLAY:-}" ] || private_display=1
[ "$private_display" = 0 ] || cmake --build --preset win64 --target e2e_person
source tools/display.sh
start_private_display
export WINEPREFIX="$PWD/build/wineprefix"
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; stop_private_display' EXIT
tools/wine/wine-prefix.sh
cd build/win64/app
set +e
if [ "$private_display" = 1 ]; then
  ../../../tools/wine/wine-exec.sh tle.exe &
  program=$!
  ../../../tools/wine/wine-exec.sh ../tests/e2e/e2e_person.exe | cut -f1,3-
  wait "$program"
  code=$?
else
  ../../../tools/wine/wine-exec.sh tle.exe
  code=$?
fi
set -e
echo "tle.exe ended with exit code $code; its files are in $PWD"
exit $code
