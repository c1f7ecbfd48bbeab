# Checks on what an end-to-end run left behind: files, the requests nginx logged, the
# program's exit code, and what the person saw (person.log, see
# tests/e2e/person/person_main.cpp). Sourced by run_e2e.sh; $run is the run's directory,
# $run/launchN what launch N left (checks look at launch $launch), and fail() records a
# failed expectation (in a file, since checks that read a pipe run in a subshell).

launch=1

fail() {
  echo "FAIL [$scenario]: $*"
  echo "$*" >>"$run/failures"
}

# The given lines, each ended by CR LF, as the program writes them.
crlf_lines() {
  local line
  for line in "$@"; do printf '%s\r\n' "$line"; done
}

# The file holds exactly the bytes on standard input.
expect_file() {
  local path=$1 expected
  expected=$(mktemp)
  cat >"$expected"
  if [ ! -f "$path" ]; then
    fail "$path does not exist"
  elif ! cmp -s "$expected" "$path"; then
    fail "$path differs from what was expected:"
    diff <(od -c "$expected") <(od -c "$path") | head -20
  fi
  rm -f "$expected"
}

# The directory holds exactly these names: nothing left behind, nothing missing.
expect_directory_holds() {
  local directory=$1 seen expected
  shift
  seen=$(ls -A "$directory" | sort | tr '\n' ' ')
  expected=$(printf '%s\n' "$@" | sort | tr '\n' ' ')
  [ $# -gt 0 ] || expected=""
  [ "$seen" = "$expected" ] || fail "$directory holds [${seen% }], expected [${expected% }]"
}

# The program ended by itself with this exit code, and the person saw everything through.
expect_exit_code() {
  local code
  code=$(cat "$run/launch$launch/tle_exit" 2>/dev/null || echo none)
  [ "$code" = "$1" ] || fail "launch $launch: tle.exe exit code $code, expected $1"
  code=$(cat "$run/launch$launch/person_exit" 2>/dev/null || echo none)
  [ "$code" = 0 ] ||
    fail "launch $launch: the person could not finish (exit code $code): $(grep '^error' "$run/launch$launch/person.log" | cut -f3)"
}

# Fields from the third on of the person's lines of one kind, tab-separated.
person_saw() {
  awk -F '\t' -v kind="$1" '$1 == kind { out = $3; for (i = 4; i <= NF; i++) out = out "\t" $i; print out }' \
    "$run/launch$launch/person.log"
}

person_time() {
  awk -F '\t' -v kind="$1" '$1 == kind { print $2; exit }' "$run/launch$launch/person.log"
}

# Exactly these message boxes, in this order, each given as "title<TAB>text".
expect_boxes() {
  local expected seen
  expected=$(printf '%s\n' "$@")
  [ $# -gt 0 ] || expected=""
  seen=$(person_saw box)
  [ "$seen" = "$expected" ] || fail "launch $launch: message boxes seen: [${seen//$'\n'/] [}], expected: [${expected//$'\n'/] [}]"
}

# The status text when the person closed the window (\t marks the tab that centres it).
expect_final_status() {
  local seen
  grep -q '^final-status' "$run/launch$launch/person.log" || { fail "the status text could not be read"; return; }
  seen=$(person_saw final-status)
  [ "$seen" = "$1" ] || fail "launch $launch: final status [$seen], expected [$1]"
}

# Exactly these requests reached nginx by the end of this launch, in this order, each
# given as "PORT HOST TARGET STATUS" (failed handshakes log nothing).
expect_requests() {
  local expected seen
  expected=$(printf '%s\n' "$@")
  [ $# -gt 0 ] || expected=""
  seen=$(awk '{ print $2, $3, $5, $7 }' "$run/launch$launch/access.log" 2>/dev/null)
  [ "$seen" = "$expected" ] || fail "requests: [${seen//$'\n'/] [}], expected: [${expected//$'\n'/] [}]"
}

# One TLS connection came to nginx and ended without a request: the program would not
# talk over it (nginx logs that at level info).
expect_one_connection_without_request() {
  local closed
  closed=$(grep -cE 'client closed connection while waiting for request|peer closed connection in SSL handshake|SSL_do_handshake\(\) failed' \
    "$run/nginx/error.log")
  [ "$closed" = 1 ] || fail "expected one connection that ended without a request, nginx logged $closed"
}

# Unix milliseconds of the first request for a target in nginx's log.
request_time() {
  awk -v target="$1" '$5 == target { printf "%.0f\n", $1 * 1000; exit }' "$run/launch$launch/access.log"
}

# The file's freshness stamp holds "<seconds since 1970> <size>" and CR LF: its present
# size and a time during this launch.
expect_stamp() {
  local path=$1 stamp size launched now
  [ -f "$path.stamp" ] || { fail "$path.stamp does not exist"; return; }
  stamp=$(cat "$path.stamp"; printf .)
  stamp=${stamp%.}
  size=$(stat -c %s "$path")
  launched=$(($(cat "$run/launch$launch/launch_ms") / 1000))
  now=$(date +%s)
  if ! [[ "$stamp" =~ ^([0-9]+)\ ([0-9]+)$'\r\n'$ ]]; then
    fail "$path.stamp holds [$(od -An -c "$path.stamp" | tr -s ' ')], not seconds, size and CR LF"
  elif [ "${BASH_REMATCH[2]}" != "$size" ]; then
    fail "$path.stamp records the size ${BASH_REMATCH[2]}, the file has $size bytes"
  elif [ "${BASH_REMATCH[1]}" -lt "$launched" ] || [ "${BASH_REMATCH[1]}" -gt "$now" ]; then
    fail "$path.stamp records the time ${BASH_REMATCH[1]}, not one between the launch ($launched) and now ($now)"
  fi
}

# The program's and the current directory hold byte for byte what they held when launch N
# ended.
expect_files_as_after_launch() {
  local differences
  differences=$(diff -r "$run/launch$1/files/program" "$run/program" 2>&1; diff -r "$run/launch$1/files/current" "$run/current" 2>&1)
  [ -z "$differences" ] || fail "the files differ from those launch $1 left: $differences"
}

# The window shows the embedded picture unscaled from (5, 5) to (335, 105) of its inner
# area: the screenshot's pixels there match the picture as libjpeg's own djpeg decodes it,
# within a small tolerance for rounding.
expect_picture_shown() {
  local picture=$1 x y differing
  local screen="$run/launch$launch/screen.png"
  [ -f "$screen" ] || { fail "no screenshot"; return; }
  IFS=$'\t' read -r x y _ < <(person_saw inner)
  [ -n "$x" ] && [ -n "$y" ] || { fail "the window's inner area was not reported"; return; }
  djpeg -pnm "$picture" >"$run/picture_expected.ppm"
  convert "$screen" -crop "330x100+$((x + 5))+$((y + 5))" +repage "$run/picture_shown.png"
  differing=$(compare -metric AE -fuzz 3% "$run/picture_shown.png" "$run/picture_expected.ppm" null: 2>&1)
  [ "$differing" = 0 ] ||
    fail "the picture at (5, 5) of the inner area differs from the embedded picture: $differing pixels"
}
