#!/usr/bin/env bash
# Benchmark of the HTTP download beside `curl -o`, in an optimised build without
# sanitizers: (a) a 64 MB file from nginx on loopback, (b) a 2 MB body from the scripted
# server that answers after 30 ms and sends 16 KiB pieces 5 ms apart, (c) a 2 MB file from
# nginx over HTTPS (the tests' certificate authority trusted by both). Prints each time,
# the medians, the ratios to curl and the peak memory. Usage: net-download.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-7}
build=build/bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTLE_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target net_download_bench >/dev/null
root=$PWD
servers="$root/$build/servers"
trap 'python3 "$root/tests/net/net_servers.py" stop "$servers"' EXIT
python3 tests/net/net_servers.py start "$servers"
head -c $((64 * 1024 * 1024)) /dev/urandom >"$servers/www/big64.bin"
nginx=$(awk '$1 == "nginx" {print $2}' "$servers/ports.txt")
scripted=$(awk '$1 == "scripted" {print $2}' "$servers/ports.txt")
https=$(awk '$1 == "https" {print $2}' "$servers/ports.txt")
head -c $((2 * 1024 * 1024)) /dev/urandom >"$servers/www/big2.bin"
# Both OpenSSL (ours) and curl trust the test authority alone.
export SSL_CERT_FILE="$servers/tls/ca.pem" SSL_CERT_DIR="$servers/tls" CURL_CA_BUNDLE="$servers/tls/ca.pem"
bench="$PWD/$build/tools/bench/net_download_bench"
cd "$build"
"$bench" compare nginx-64MB "http://127.0.0.1:$nginx/big64.bin" "$runs"
"$bench" compare scripted-2MB "http://127.0.0.1:$scripted/s/slow?size=2097152&piece=16384&delay=5&first=30" "$runs"
"$bench" compare nginx-https-2MB "https://localhost:$https/big2.bin" "$runs"
rm -f "$servers/www/big64.bin" "$servers/www/big2.bin"
