#!/usr/bin/env bash
# Builds a fuzz target with clang (libFuzzer, AddressSanitizer, UBSan) in build/fuzz and runs
# it for a bounded time over its seeds. New inputs go to the build tree, never into the
# repository. Exits non-zero on a finding; the input that caused it is left in
# build/fuzz/artifacts/TARGET/.
# Usage: tools/fuzz/run.sh image|http [SECONDS]
#   image: ImageFromMemory with a known size, seeded with tool-made pictures
#   http:  the HTTP response parser fed whole and in pieces, seeded from http_response_corpus/
set -euo pipefail
cd "$(dirname "$0")/../.."
which=${1:?usage: tools/fuzz/run.sh image|http [SECONDS]}
seconds=${2:-60}
build=build/fuzz
case $which in
  image)
    target=image_from_memory_fuzz
    seeds=$build/seeds/pictures
    [ -e "$seeds/baseline420.jpg" ] || tools/make_test_pictures.sh "$seeds"
    options=(-max_len=16384 -timeout=20 -rss_limit_mb=2048)
    ;;
  http)
    target=http_response_fuzz
    seeds=tools/fuzz/http_response_corpus
    options=(-timeout=10 -rss_limit_mb=1024)
    ;;
  *) echo "unknown fuzz target $which" >&2; exit 2 ;;
esac
cmake -S . -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTLE_BUILD_TESTS=OFF -DTLE_FUZZ=ON >/dev/null
cmake --build "$build" -j2 --target "$target" >/dev/null
corpus=$build/corpus/$target
artifacts=$build/artifacts/$target
log=$build/$target.log
mkdir -p "$corpus" "$artifacts"
# The seeds are read-only input; what the fuzzer finds new goes to the corpus directory.
"$build/tools/fuzz/$target" "$corpus" "$seeds" -max_total_time="$seconds" "${options[@]}" \
  -artifact_prefix="$artifacts/" -print_final_stats=1 2>"$log" || {
  tail -40 "$log"
  echo "fuzz: finding in $target (see $artifacts/)"
  exit 1
}
grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$log" || true
echo "fuzz: $target ran ${seconds}s without a finding"
