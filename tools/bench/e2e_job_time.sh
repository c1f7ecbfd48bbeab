#!/usr/bin/env bash
# Times one successful end-to-end job (launch of tle.exe under wine64 until its status
# says the satellite list is loaded) against curl fetching the same three files from the
# same local server, in the same private network. Runs the all_up scenario five times.
# Needs root and a built win64 tree (cmake --build --preset win64).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build/win64"
export TLE_EXE="$build/app/tle.exe" E2E_PERSON="$build/tests/e2e/e2e_person.exe"
export E2E_WORK="$build/tests/e2e" E2E_BENCH=1
for _ in 1 2 3 4 5; do
  "$root/tests/e2e/run_e2e.sh" all_up | grep -E '^(job|curl|FAIL)'
done
