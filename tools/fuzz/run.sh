#!/usr/bin/env bash
# Builds the fuzz target with clang (libFuzzer, AddressSanitizer, UBSan) in build/fuzz and
# runs it for a bounded time over a seed corpus of tool-made pictures. Exits non-zero on a
# finding; the input that caused it is left in build/fuzz/artifacts/.
# Usage: tools/fuzz/run.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-60}
build=build/fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTLE_BUILD_TESTS=OFF -DTLE_FUZZ=ON >/dev/null
cmake --build "$build" -j2 --target image_from_memory_fuzz >/dev/null
seeds=$build/seeds
[ -e "$seeds/baseline420.jpg" ] || tools/make_test_pictures.sh "$seeds"
mkdir -p "$build/corpus" "$build/artifacts"
# The seeds are read-only input; what the fuzzer finds new goes to the corpus directory.
"$build/tools/fuzz/image_from_memory_fuzz" "$build/corpus" "$seeds" \
  -max_total_time="$seconds" -max_len=16384 -timeout=20 -rss_limit_mb=2048 \
  -artifact_prefix="$build/artifacts/" -print_final_stats=1 2>"$build/last-run.log" || {
  tail -40 "$build/last-run.log"
  echo "fuzz: finding in image_from_memory_fuzz (see $build/artifacts/)"
  exit 1
}
grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$build/last-run.log" || true
echo "fuzz: image_from_memory_fuzz ran ${seconds}s without a finding"
