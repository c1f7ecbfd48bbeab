#!/usr/bin/env bash
# Builds the HTTP response fuzz target with clang (libFuzzer, ASan, UBSan) and runs it for
# the given seconds (default 60) from the seed corpus in tests/net/fuzz/corpus. New inputs
# go to the build tree, never into the repository. Prints one line and fails on a finding.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build/fuzz-net
cmake -S tests/net/fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >/dev/null &&
  cmake --build "$build" >/dev/null || { echo "fuzz: the fuzz target did not build"; exit 1; }
mkdir -p "$build/corpus" "$build/findings"
cp -n tests/net/fuzz/corpus/* "$build/corpus/"
log="$build/fuzz.log"
"$build/http_response_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 \
  -artifact_prefix="$build/findings/" "$build/corpus" >"$log" 2>&1
code=$?
if [ $code -ne 0 ]; then
  echo "fuzz: FOUND a failing input (exit $code): $(ls -t "$build/findings" | head -1); see $log"
  exit 1
fi
echo "fuzz: no finding in ${seconds} s ($(grep -o 'Done [0-9]* runs' "$log" | tail -1))"
