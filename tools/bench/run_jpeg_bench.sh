#!/usr/bin/env bash
# Builds the JPEG decode benchmark optimised and without sanitizers (build/bench), makes a
# 4000 x 3000 baseline 4:2:0 JPEG with ImageMagick and cjpeg, and runs the benchmark.
# Usage: tools/bench/run_jpeg_bench.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=build/bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTLE_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target jpeg_decode_bench >/dev/null
picture=$build/picture-4000x3000.jpg
if [ ! -e "$picture" ]; then
  convert -size 4000x3000 gradient:'#E03020-#2040D0' -seed 11 -attenuate 0.4 +noise Gaussian ppm:- |
    cjpeg -quality 90 -sample 2x2,1x1,1x1 >"$picture"
fi
"$build/tools/bench/jpeg_decode_bench" "$picture" "${1:-7}"
