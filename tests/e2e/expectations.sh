# Checks on what an end-to-end run left behind: files, the program's exit code, and what
# the person saw (person.log, see tests/e2e/person/person_main.cpp). Sourced by run_e2e.sh;
# $run is the run's directory and fail() records a failed expectation (in a file, since
# checks that read a pipe run in a subshell).

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
  code=$(cat "$run/tle_exit" 2>/dev/null || echo none)
  [ "$code" = "$1" ] || fail "tle.exe exit code $code, expected $1"
  code=$(cat "$run/person_exit" 2>/dev/null || echo none)
  [ "$code" = 0 ] || fail "the person could not finish (exit code $code): $(grep '^error' "$run/person.log" | cut -f3)"
}

# Fields from the third on of the person's lines of one kind, tab-separated.
person_saw() {
  awk -F '\t' -v kind="$1" '$1 == kind { out = $3; for (i = 4; i <= NF; i++) out = out "\t" $i; print out }' \
    "$run/person.log"
}

person_time() {
  awk -F '\t' -v kind="$1" '$1 == kind { print $2; exit }' "$run/person.log"
}

# Exactly these message boxes, in this order, each given as "title<TAB>text".
expect_boxes() {
  local expected seen
  expected=$(printf '%s\n' "$@")
  [ $# -gt 0 ] || expected=""
  seen=$(person_saw box)
  [ "$seen" = "$expected" ] || fail "message boxes seen: [${seen//$'\n'/] [}], expected: [${expected//$'\n'/] [}]"
}

# The status text when the person closed the window (\t marks the tab that centres it).
expect_final_status() {
  local seen
  grep -q '^final-status' "$run/person.log" || { fail "the status text could not be read"; return; }
  seen=$(person_saw final-status)
  [ "$seen" = "$1" ] || fail "final status [$seen], expected [$1]"
}

# Unix milliseconds of the first request for a path in nginx's log.
request_time() {
  awk -v path="$1" '$4 == path { printf "%.0f\n", $1 * 1000; exit }' "$run/nginx/access.log"
}
