#!/usr/bin/env bash
# Builds all three platforms and runs every test: the host suites natively (ASan + UBSan)
# and the Windows suites under wine64 on a private X display. Ends with one counted line.
set -euo pipefail
cd "$(dirname "$0")/.."
./tools/setup.sh
for preset in host win32 win64; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
source tools/display.sh
start_private_display
export WINEPREFIX="$PWD/build/wineprefix"
cleanup() {
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  stop_private_display
}
trap cleanup EXIT

passed=0
failed=0
status=0
for preset in host win64; do
  echo "== test $preset"
  log=$(mktemp)
  set +e
  ctest --preset "$preset" -j2 2>&1 | tee "$log"
  code=${PIPESTATUS[0]}
  set -e
  [ "$code" -eq 0 ] || status=1
  summary=$(grep -E '[0-9]+ tests failed out of [0-9]+' "$log" | tail -1 || true)
  if [ -n "$summary" ]; then
    f=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$summary")
    t=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$summary")
    passed=$((passed + t - f))
    failed=$((failed + f))
  else
    status=1
  fi
  rm -f "$log"
done

# The tests that race threads, once more under ThreadSanitizer (only these are built there).
echo "== test host-tsan"
tsan_tests=(tests/runtime/runtime_thread_tests tests/event/event_thread_tests)
cmake --preset host-tsan >/dev/null
cmake --build build/host-tsan --target "${tsan_tests[@]##*/}"
for test in "${tsan_tests[@]}"; do
  if TSAN_OPTIONS="halt_on_error=1" "build/host-tsan/$test" --gtest_brief=1; then
    passed=$((passed + 1))
  else
    echo "FAILED under ThreadSanitizer: $test"
    failed=$((failed + 1))
    status=1
  fi
done
for target in image http; do
  echo "== fuzz $target (bounded)"
  if tools/fuzz/run.sh "$target" 60; then passed=$((passed + 1)); else failed=$((failed + 1)); status=1; fi
done
echo "$passed passed, $failed failed"
exit $status
