#!/usr/bin/env bash
# Runs one end-to-end scenario of the shipped program (the x86_64 tle.exe, unchanged) under
# wine64 on an X display, in a private network and mount namespace: loopback only, a hosts
# file that sends both element-set servers to local addresses, and nginx on port 80 serving
# the scenario's files. Our driver program (e2e_person.exe) acts as the person at the
# screen; afterwards the files and the exit code are checked.
#
#   run_e2e.sh SCENARIO            (scenarios: tests/e2e/scenarios.sh)
#
# Environment: TLE_EXE and E2E_PERSON (the two Windows executables), E2E_WORK (a directory
# for the Wine prefix and the runs), optionally E2E_BENCH=1 to time the job against curl.
# Needs root (unshare, mount); exits 77 (skipped) without it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

# Inside the namespace: hosts, loopback, nginx, the program and the person.
if [ "${1:-}" = "--inside" ]; then
  run=$2
  mount --bind "$run/hosts" /etc/hosts
  ip link set lo up
  nginx -p "$run/nginx" -c "$run/nginx/nginx.conf"
  stop_inside() {
    "$wineserver" -k 2>/dev/null || true
    [ -f "$run/nginx/nginx.pid" ] && kill "$(cat "$run/nginx/nginx.pid")" 2>/dev/null || true
  }
  trap stop_inside EXIT
  cd "$run/current"
  read -r -a person_args <"$run/person_args"
  # Bring up Wine's session (its services take seconds) before the launch is timed.
  "$wine" cmd /c exit >/dev/null 2>&1 || true
  date +%s%3N >"$run/launch_ms"
  timeout 90 "$wine" "$run/program/tle.exe" >"$run/wine_tle.log" 2>&1 &
  tle_pid=$!
  timeout 120 "$wine" "$E2E_PERSON" "${person_args[@]}" >"$run/person.log" 2>"$run/wine_person.log" &
  person_pid=$!
  if [ -n "${E2E_HOLD:-}" ]; then
    # The person waits with the finished job on the screen until the screenshot is taken.
    for _ in $(seq 1 300); do
      grep -q '^done' "$run/person.log" 2>/dev/null && break
      kill -0 "$person_pid" 2>/dev/null || break
      sleep 0.1
    done
    import -window root "$run/screen.png" 2>/dev/null || true
    touch "$run/hold"
  fi
  set +e
  wait "$person_pid"
  person_exit=$?
  echo "$person_exit" >"$run/person_exit"
  # A person who gave up leaves a program that nobody will close.
  [ "$person_exit" = 0 ] || "$wineserver" -k
  wait "$tle_pid"
  echo $? >"$run/tle_exit"
  set -e
  if [ "${E2E_BENCH:-}" = 1 ]; then
    start=$(date +%s%3N)
    for path in NORAD/elements/amateur.txt NORAD/elements/weather.txt; do
      curl -s -o /dev/null "http://celestrak.org/$path"
    done
    curl -s -o /dev/null http://r4uab.ru/satonline.txt
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

run="$E2E_WORK/runs/$scenario"
rm -rf "$run"
mkdir -p "$run/www/NORAD/elements" "$run/program" "$run/current" "$run/nginx/temp"
cp "$TLE_EXE" "$run/program/tle.exe"

# What a scenario may change before its run.
primary_address=127.0.0.1
nginx_locations=""
person_args=()
take_screenshot=0
"setup_$scenario"

printf '127.0.0.1 localhost\n%s celestrak.org\n127.0.0.1 r4uab.ru\n' "$primary_address" >"$run/hosts"
cat >"$run/nginx/nginx.conf" <<EOF
user root;
worker_processes 1;
pid $run/nginx/nginx.pid;
error_log $run/nginx/error.log;
events { worker_connections 64; }
http {
  log_format timed '\$msec \$host "\$request" \$status \$body_bytes_sent';
  access_log $run/nginx/access.log timed;
  client_body_temp_path $run/nginx/temp;
  proxy_temp_path $run/nginx/temp;
  fastcgi_temp_path $run/nginx/temp;
  uwsgi_temp_path $run/nginx/temp;
  scgi_temp_path $run/nginx/temp;
  default_type text/plain;
  server {
    listen 127.0.0.1:80;
    server_name celestrak.org r4uab.ru;
    root $run/www;
    $nginx_locations
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
export E2E_PERSON
unshare -m -n -- "$0" --inside "$run"

# The checks, on what the run left behind.
# Every expectation is checked, whatever failed before it.
set +e +o pipefail
"check_$scenario"

if [ -s "$run/failures" ]; then
  echo "--- person.log"; cat "$run/person.log" || true
  echo "--- nginx access.log"; cat "$run/nginx/access.log" || true
  echo "--- wine (program)"; tail -20 "$run/wine_tle.log" || true
  exit 1
fi
echo "PASS [$scenario]"
