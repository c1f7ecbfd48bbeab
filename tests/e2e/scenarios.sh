# The end-to-end scenarios: for each, setup_NAME prepares the served files and whatever the
# program finds on disk, and check_NAME says what must be true afterwards. Sourced by
# run_e2e.sh, which provides $run (www/, program/, current/), the variables a setup may set
# (primary_address, nginx_locations, person_args, take_screenshot) and the expectations.

# Texts the person must see (UTF-8 here; the program holds them as Windows-1251).
primary_box=$'Внимание ! ! !\tДанные с celestrak.org недоступны'
temporary_box=$'Информация\tНе удалось сохранить файл ! !'
list_status='\tФайл  *satonline.txt* загружен'

amateur=(
  "ISS (ZARYA)"
  "1 25544U 98067A   26344.52083333  .00016717  00000-0  30306-3 0  9993"
  "2 25544  51.6393 208.9163 0006703 130.5360 325.0288 15.50377579 47141"
  "AO-07"
  "1 07530U 74089B   26344.16351171 -.00000034  00000-0  47233-4 0  9994"
  "2 07530 101.9949 332.6211 0012230 105.1473 336.7367 12.53686637303405"
)
weather=(
  "NOAA 19"
  "1 33591U 09005A   26344.51122685  .00000168  00000-0  11555-3 0  9998"
  "2 33591  99.0571 327.6322 0014138 198.3587 161.7086 14.12851417917441"
  "METEOR-M 2"
)
satellite_list=("25544 ISS" "07530 AO-07" "33591 NOAA 19")

# serve PATH LF|CRLF LINE...: a file of the server, with the given line ends.
serve() {
  local path=$1 ending=$2 line
  shift 2
  mkdir -p "$(dirname "$run/www/$path")"
  : >"$run/www/$path"
  for line in "$@"; do
    if [ "$ending" = CRLF ]; then printf '%s\r\n' "$line"; else printf '%s\n' "$line"; fi
  done >>"$run/www/$path"
}

serve_all() {
  serve NORAD/elements/amateur.txt LF "${amateur[@]}"
  serve NORAD/elements/weather.txt CRLF "${weather[@]}"
  serve satonline.txt LF "${satellite_list[@]}"
}

# What every run whose element sets both arrived leaves behind: no temporaries, the merged
# file in the current directory, the satellite list beside the program.
expect_list_and_no_temporaries() {
  expect_directory_holds "$run/program" tle.exe satonline.txt
  expect_directory_holds "$run/current" mytle.txt
  printf '%s\n' "${satellite_list[@]}" | expect_file "$run/program/satonline.txt"
  expect_final_status "$list_status"
  expect_exit_code 0
}

# All servers up: the amateur lines then the weather lines, CR LF everywhere.
setup_all_up() {
  serve_all
  take_screenshot=1
}
check_all_up() {
  crlf_lines "${amateur[@]}" "${weather[@]}" | expect_file "$run/current/mytle.txt"
  expect_boxes
  expect_list_and_no_temporaries
  local launch window served final
  launch=$(cat "$run/launch_ms")
  window=$(person_time window)
  served=$(request_time /satonline.txt)
  final=$(person_time done)
  if [ -n "$window" ] && [ -n "$served" ] && [ -n "$final" ]; then
    echo "job: $((final - launch)) ms from launch to the final status seen" \
      "(window visible after $((window - launch)) ms, satellite list served after $((served - launch)) ms)"
  fi
  [ -f "$run/curl_ms" ] && echo "curl, the same three files: $(cat "$run/curl_ms") ms"
  [ -f "$run/screen.png" ] || fail "no screenshot"
}

# A "mytle.txt" from before is replaced, not appended to.
setup_replaces_existing() {
  serve_all
  local i
  for i in $(seq 1 40); do printf 'old line %d of an earlier run\r\n' "$i"; done >"$run/current/mytle.txt"
}
check_replaces_existing() {
  crlf_lines "${amateur[@]}" "${weather[@]}" | expect_file "$run/current/mytle.txt"
  expect_boxes
  expect_list_and_no_temporaries
}

# Lines are merged in pairs: 5 lines add 6 (the last empty), 4 lines add 4.
setup_odd_even() {
  serve NORAD/elements/amateur.txt LF "${amateur[@]:0:5}"
  serve NORAD/elements/weather.txt CRLF "${weather[@]:0:4}"
  serve satonline.txt LF "${satellite_list[@]}"
}
check_odd_even() {
  crlf_lines "${amateur[@]:0:5}" "" "${weather[@]:0:4}" | expect_file "$run/current/mytle.txt"
  expect_boxes
  expect_list_and_no_temporaries
}

# An empty weather file (content length 0) leaves an empty temporary, which adds nothing.
setup_empty_temporary() {
  serve_all
  : >"$run/www/NORAD/elements/weather.txt"
}
check_empty_temporary() {
  crlf_lines "${amateur[@]}" | expect_file "$run/current/mytle.txt"
  expect_boxes
  expect_list_and_no_temporaries
}

# The primary server refuses connections: one box, nothing downloaded or written.
setup_primary_down() {
  serve_all
  primary_address=127.0.0.2
}
check_primary_down() {
  expect_boxes "$primary_box"
  expect_directory_holds "$run/program" tle.exe
  expect_directory_holds "$run/current"
  expect_final_status ""
  [ ! -s "$run/nginx/access.log" ] || fail "the secondary server was asked for something"
  expect_exit_code 0
}

# The weather download gets no answer, and a weather temporary of an earlier, broken run
# is still there: it must not be merged; the missing temporary is reported.
setup_weather_fails() {
  serve_all
  nginx_locations='location = /NORAD/elements/weather.txt { return 444; }'
  crlf_lines "STALE WEATHER FROM AN EARLIER RUN" "1 00000U" >"$run/program/tmp2"
}
check_weather_fails() {
  crlf_lines "${amateur[@]}" | expect_file "$run/current/mytle.txt"
  expect_boxes "$temporary_box"
  expect_list_and_no_temporaries
}

# "mytle.txt" cannot be created (a directory has that name): reported, the temporaries are
# still deleted and the satellite list is still fetched.
setup_mytle_not_creatable() {
  serve_all
  mkdir "$run/current/mytle.txt"
}
check_mytle_not_creatable() {
  [ -d "$run/current/mytle.txt" ] || fail "mytle.txt is no longer the directory that was in its way"
  expect_boxes "$temporary_box"
  expect_list_and_no_temporaries
}

# The satellite list is missing on its server: the list from before stays as it was.
setup_list_fails() {
  serve_all
  rm "$run/www/satonline.txt"
  printf 'list of an earlier run\r\n' >"$run/program/satonline.txt"
}
check_list_fails() {
  crlf_lines "${amateur[@]}" "${weather[@]}" | expect_file "$run/current/mytle.txt"
  expect_boxes
  printf 'list of an earlier run\r\n' | expect_file "$run/program/satonline.txt"
  expect_directory_holds "$run/program" tle.exe satonline.txt
  expect_final_status "$list_status"
  expect_exit_code 0
}

# The person closes the window while the (slow) weather download runs: the job still
# finishes, and only then does the program end.
slow_weather=()
setup_close_early() {
  serve_all
  local i
  for i in $(seq 1 60); do slow_weather+=("WEATHER SATELLITE $i 1 99999U 26344.00000000 .00000000 00000-0 00000-0"); done
  serve NORAD/elements/weather.txt CRLF "${slow_weather[@]}"
  # About 4.3 KB at 1 KB a second after the first 1 KB: three seconds or so.
  nginx_locations='location = /NORAD/elements/weather.txt { limit_rate 1k; limit_rate_after 1k; }'
  person_args=(--close-early)
}
check_close_early() {
  crlf_lines "${amateur[@]}" "${slow_weather[@]}" | expect_file "$run/current/mytle.txt"
  expect_boxes
  expect_directory_holds "$run/program" tle.exe satonline.txt
  printf '%s\n' "${satellite_list[@]}" | expect_file "$run/program/satonline.txt"
  expect_exit_code 0
  local closed gone list
  closed=$(person_time close)
  gone=$(person_time gone)
  list=$(request_time /satonline.txt)
  if [ -z "$closed" ] || [ -z "$gone" ] || [ -z "$list" ]; then
    fail "close ($closed), window gone ($gone) or satellite-list request ($list) not seen"
  elif [ "$list" -lt "$closed" ] || [ "$gone" -lt "$list" ]; then
    fail "expected close ($closed) before the satellite-list request ($list) before the window went ($gone)"
  fi
}
