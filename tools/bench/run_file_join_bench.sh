#!/usr/bin/env bash
# Builds the file join benchmark optimised and without sanitizers (build/bench) and runs it;
# it generates its two 25 MB input files itself in a scratch directory.
# Usage: tools/bench/run_file_join_bench.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=build/bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTLE_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target file_join_bench >/dev/null
"$build/tools/bench/file_join_bench" "$build/file-join" "${1:-7}"
