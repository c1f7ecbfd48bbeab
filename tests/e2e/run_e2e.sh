#!/usr/bin/env bash
# Runs one end-to-end scenario of the shipped program (the x86_64 tle.exe, unchanged) under
# wine64 on an X display, in a private network and mount namespace: loopback only, a hosts
# file that sends both element-set servers to local addresses, our test authority as the
# only trusted root, and nginx serving both servers over HTTPS on port 443 (port 80 only
# redirects to https, as the real servers do). Our driver program (e2e_person.exe) acts as
# the person at the screen; afterwards the files, the requests and the exit codes are
# checked. A scenario may launch the program more than once, one launch after the other.
#
#   run_e2e.sh SCENARIO            (scenarios: tests/e2e/scenarios.sh)
#
# Environment: TLE_EXE and E2E_PERSON (the two Windows executables), E2E_WORK (a directory
# for the Wine prefix, the certificates and the runs), optionally E2E_BENCH=1 to time the
# job against curl. Needs root (unshare, mount); exits 77 (skipped) without it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

# One launch of the program with the person watching it; what they left goes to DIR.
launch_inside() {
  local dir=$1 tle_pid person_pid person_exit
  mkdir -p "$dir"
  rm -f "$run/hold"
  # Bring up Wine's session (its services take seconds) before the launch is timed.
  "$wine" cmd /c exit >/dev/null 2>&1 || true
  date +%s%3N >"$dir/launch_ms"
  timeout 90 "$wine" "$run/program/tle.exe" >"$dir/wine_tle.log" 2>&1 &
  tle_pid=$!
  timeout 120 "$wine" "$E2E_PERSON" "${person_args[@]}" >"$dir/person.log" 2>"$dir/wine_person.log" &
  person_pid=$!
  if [ -n "${E2E_HOLD:-}" ]; then
    # The person waits with the finished job on the screen until the screenshot is taken.
    for _ in $(seq 1 300); do
      grep -q '^done' "$dir/person.log" 2>/dev/null && break
      kill -0 "$person_pid" 2>/dev/null || break
      sleep 0.1
    done
    import -window root "$dir/screen.png" 2>/dev/null || true
    touch "$run/hold"
  fi
  set +e
  wait "$person_pid"
  person_exit=$?
  echo "$person_exit" >"$dir/person_exit"
  # A person who gave up leaves a program that nobody will close.
  [ "$person_exit" = 0 ] || "$wineserver" -k
  wait "$tle_pid"
  echo $? >"$dir/tle_exit"
  set -e
  # What this launch left, for the checks of a later one.
  cp "$run/nginx/access.log" "$dir/access.log" 2>/dev/null || : >"$dir/access.log"
  mkdir -p "$dir/files"
  cp -a "$run/program" "$run/current" "$dir/files/"
}

# A server that accepts connections on port 443 of an address and never says a word.
start_silent_server() {
  /usr/bin/python3 -u -c '
import socket, sys, time
listener = socket.socket()
listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
listener.bind((sys.argv[1], 443))
listener.listen(8)
print("listening", flush=True)
held = []
while True:
    held.append(listener.accept()[0])
    print("accepted %d" % int(time.time() * 1000), flush=True)
' "$1" >"$run/silent_server.log" 2>&1 &
  silent_pid=$!
  for _ in $(seq 1 100); do
    grep -q '^listening' "$run/silent_server.log" && return 0
    sleep 0.05
  done
  echo "the silent server did not start" >&2
  return 1
}

# Inside the namespace: hosts, trusted roots, loopback, servers, the launches.
if [ "${1:-}" = "--inside" ]; then
  run=$2
  mount --bind "$run/hosts" /etc/hosts
  # Wine's certificate store reads its trusted roots from this bundle.
  mount --bind "$E2E_WORK/certs/ca.pem" /etc/ssl/certs/ca-certificates.crt
  ip link set lo up
  nginx -p "$run/nginx" -c "$run/nginx/nginx.conf"
  silent_pid=""
  stop_inside() {
    "$wineserver" -k 2>/dev/null || true
    [ -f "$run/nginx/nginx.pid" ] && kill "$(cat "$run/nginx/nginx.pid")" 2>/dev/null || true
    [ -z "$silent_pid" ] || kill "$silent_pid" 2>/dev/null || true
  }
  trap stop_inside EXIT
  [ -z "${E2E_SILENT_ADDRESS:-}" ] || start_silent_server "$E2E_SILENT_ADDRESS"
  cd "$run/current"
  read -r -a person_args <"$run/person_args"
  for n in $(seq 1 "$E2E_LAUNCHES"); do
    launch_inside "$run/launch$n"
  done
  if [ "${E2E_BENCH:-}" = 1 ]; then
    start=$(date +%s%3N)
    for group in amateur weather; do
      curl -s --cacert "$E2E_WORK/certs/ca.pem" -o /dev/null \
        "https://celestrak.org/NORAD/elements/gp.php?GROUP=$group&FORMAT=tle"
    done
    curl -s --cacert "$E2E_WORK/certs/ca.pem" -o /dev/null https://r4uab.ru/satonline.txt
    echo $(($(date +%s%3N) - start)) >"$run/curl_ms"
  fi
  exit 0
fi

scenario=${1:?usage: run_e2e.sh SCENARIO}
: "${TLE_EXE:?}" "${E2E_PERSON:?}" "${E2E_WORK:?}"
if [ "$(id -u)" != 0 ]; then
  echo "end-to-end runs need root (private network namespace); skipped"
  exit 77
fi
source "$here/expectations.sh"
source "$here/scenarios.sh"
declare -F "setup_$scenario" >/dev/null || { echo "unknown scenario $scenario" >&2; exit 2; }

certs="$E2E_WORK/certs"
"$root/tests/net/make_test_certificates.sh" "$certs" >/dev/null

run="$E2E_WORK/runs/$scenario"
rm -rf "$run"
mkdir -p "$run/www/celestrak.org" "$run/www/r4uab.ru" "$run/program" "$run/current" "$run/nginx/temp"
cp "$TLE_EXE" "$run/program/tle.exe"

# What a scenario may change before its run.
primary_address=127.0.0.1        # where celestrak.org is
primary_chain=localhost-chain.pem  # the certificate chain it presents
silent_address=""                # an address where a server accepts and never answers
gp_php='try_files /gp/$arg_GROUP-$arg_FORMAT.txt =404;'  # how it answers gp.php
primary_locations=""
secondary_locations=""
person_args=()
take_screenshot=0
launches=1
"setup_$scenario"

printf '127.0.0.1 localhost\n%s celestrak.org\n127.0.0.1 r4uab.ru\n' "$primary_address" >"$run/hosts"
cat >"$run/nginx/nginx.conf" <<EOF
user root;
worker_processes 1;
pid $run/nginx/nginx.pid;
error_log $run/nginx/error.log info;
events { worker_connections 64; }
http {
  log_format timed '\$msec \$server_port \$host "\$request" \$status \$body_bytes_sent';
  access_log $run/nginx/access.log timed;
  client_body_temp_path $run/nginx/temp;
  proxy_temp_path $run/nginx/temp;
  fastcgi_temp_path $run/nginx/temp;
  uwsgi_temp_path $run/nginx/temp;
  scgi_temp_path $run/nginx/temp;
  default_type text/plain;
  ssl_certificate_key $certs/server.key;
  # Plain HTTP only sends the client to the same address over HTTPS.
  server {
    listen 127.0.0.1:80;
    return 301 https://\$host\$request_uri;
  }
  server {
    listen 127.0.0.1:443 ssl default_server;
    server_name celestrak.org;
    ssl_certificate $certs/$primary_chain;
    root $run/www/celestrak.org;
    location = /NORAD/elements/gp.php { $gp_php }
    $primary_locations
  }
  server {
    listen 127.0.0.1:443 ssl;
    server_name r4uab.ru;
    ssl_certificate $certs/localhost-chain.pem;
    root $run/www/r4uab.ru;
    $secondary_locations
  }
}
EOF

# One Wine prefix for every run, made once; its server is started afresh inside each
# namespace (Wine's sockets live in the server, so it must share the program's network).
export WINEPREFIX="$E2E_WORK/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$root/tools/wine/wine-prefix.sh"
if [ ! -f "$WINEPREFIX/.tle-e2e-unmanaged" ]; then
  # With no window manager on the display, Wine waits two seconds for every closed window
  # to be withdrawn; windows that Wine manages itself skip that wait.
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  "$wineserver" -w
  touch "$WINEPREFIX/.tle-e2e-unmanaged"
fi
"$wineserver" -k 2>/dev/null || true
"$wineserver" -w 2>/dev/null || true

# A non-Russian locale, so the program's texts must reach the screen as UTF-16 to read right.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
source "$root/tools/display.sh"
start_private_display
trap stop_private_display EXIT

if [ "$take_screenshot" = 1 ]; then
  export E2E_HOLD=1
  person_args+=(--hold "Z:${run//\//\\}\\hold")
fi
echo "${person_args[*]}" >"$run/person_args"
export E2E_PERSON E2E_WORK E2E_LAUNCHES=$launches E2E_SILENT_ADDRESS=$silent_address
# The checks, on what the run left behind.
# Every expectation is checked, whatever failed before it.
set +e +o pipefail
unshare -m -n -- "$0" --inside "$run" || fail "the run in its namespace failed (exit code $?)"
"check_$scenario"

if [ -s "$run/failures" ]; then
  for dir in "$run"/launch*; do
    echo "--- ${dir##*/}: person.log"; cat "$dir/person.log" || true
    echo "--- ${dir##*/}: wine (program)"; tail -20 "$dir/wine_tle.log" || true
  done
  echo "--- nginx access.log"; cat "$run/nginx/access.log" || true
  echo "--- nginx error.log"; tail -20 "$run/nginx/error.log" || true
  exit 1
fi
echo "PASS [$scenario]"
