# The end-to-end scenarios: for each, setup_NAME prepares the served files and whatever the
# program finds on disk, and check_NAME says what must be true afterwards. Sourced by
# run_e2e.sh, which provides $run (www/HOST/, program/, current/), the variables a setup
# may set (primary_address, primary_chain, silent_address, gp_php, primary_locations,
# secondary_locations, person_args, take_screenshot, launches) and the expectations.

# Texts the person must see (UTF-8 here; the program holds them as Windows-1251).
primary_box=$'Внимание ! ! !\tДанные с celestrak.org недоступны'
saving_box=$'Информация\tНе удалось сохранить файл ! !'
mytle_loaded='\tФайл  *mytle.txt* загружен'
list_loaded='\tФайл  *satonline.txt* загружен'
list_current='\tФайл  *satonline.txt* актуален'

# Where the servers keep what the program asks for (under $run/www).
amateur_file=celestrak.org/gp/amateur-tle.txt
weather_file=celestrak.org/gp/weather-tle.txt
list_file=r4uab.ru/satonline.txt
# The requests of a whole job, as nginx logs them (port, host, target, status).
amateur_request="443 celestrak.org /NORAD/elements/gp.php?GROUP=amateur&FORMAT=tle"
weather_request="443 celestrak.org /NORAD/elements/gp.php?GROUP=weather&FORMAT=tle"
list_request="443 r4uab.ru /satonline.txt"

# with_checksum LINE: the 68 characters of a data line and then their modulo-10 checksum
# (digits count their value, "-" counts 1, everything else 0).
with_checksum() {
  local line=$1 sum=0 i c
  if [ ${#line} -ne 68 ]; then
    echo "fixture data line of ${#line} characters, not 68: [$line]" >&2
    exit 2
  fi
  for ((i = 0; i < 68; i++)); do
    c=${line:i:1}
    case $c in
      [0-9]) sum=$((sum + c)) ;;
      -) sum=$((sum + 1)) ;;
    esac
  done
  printf '%s%d\n' "$line" $((sum % 10))
}

# add_set ARRAY NAME LINE1 LINE2: appends an element set to ARRAY, its name line first
# (none when NAME is empty), the data lines with their checksums.
add_set() {
  local -n lines=$1
  [ -z "$2" ] || lines+=("$2")
  lines+=("$(with_checksum "$3")" "$(with_checksum "$4")")
}

amateur=()
add_set amateur "ISS (ZARYA)" \
  "1 25544U 98067A   26344.52083333  .00016717  00000-0  30306-3 0  999" \
  "2 25544  51.6393 208.9163 0006703 130.5360 325.0288 15.50377579 4714"
add_set amateur "AO-07" \
  "1 07530U 74089B   26344.16351171 -.00000034  00000-0  47233-4 0  999" \
  "2 07530 101.9949 332.6211 0012230 105.1473 336.7367 12.5368663730340"
weather=()
add_set weather "NOAA 19" \
  "1 33591U 09005A   26344.51122685  .00000168  00000-0  11555-3 0  999" \
  "2 33591  99.0571 327.6322 0014138 198.3587 161.7086 14.1285141791744"
add_set weather "METEOR-M 2" \
  "1 40069U 14037A   26344.48236914  .00000087  00000-0  59176-4 0  999" \
  "2 40069  98.4702 331.6164 0005573 197.5385 162.5604 14.2123093564228"
satellite_list=()
add_set satellite_list "FUNCUBE-1 (AO-73)" \
  "1 39444U 13066AE  26344.40129722  .00002183  00000-0  25840-3 0  999" \
  "2 39444  97.5489 306.6027 0053521 107.9417 252.7702 14.9336744365473"
add_set satellite_list "NOAA 19" \
  "1 33591U 09005A   26344.51122685  .00000168  00000-0  11555-3 0  999" \
  "2 33591  99.0571 327.6322 0014138 198.3587 161.7086 14.1285141791744"
# Files of an earlier run, element sets too, none of them served now.
previous_mytle=()
add_set previous_mytle "ISS (ZARYA)" \
  "1 25544U 98067A   26300.11111111  .00012000  00000-0  22000-3 0  999" \
  "2 25544  51.6400 300.1000 0006000 100.0000 260.0000 15.4900000040000"
previous_list=()
add_set previous_list "NOAA 15" \
  "1 25338U 98030A   26300.50000000  .00000050  00000-0  40000-4 0  999" \
  "2 25338  98.5500 330.0000 0009000 100.0000 260.0000 14.2600000040000"

html_page=('<!DOCTYPE html>' '<html><head><title>CelesTrak</title></head>'
  '<body><p>Please try again later.</p></body></html>')

# serve PATH LF|CRLF LINE...: a file of the servers (under $run/www), with these line ends.
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
  serve "$amateur_file" LF "${amateur[@]}"
  serve "$weather_file" CRLF "${weather[@]}"
  serve "$list_file" LF "${satellite_list[@]}"
}

# The files of an earlier run, in place before the program starts (no stamps: they are due).
put_previous_files() {
  crlf_lines "${previous_mytle[@]}" >"$run/current/mytle.txt"
  printf '%s\n' "${previous_list[@]}" >"$run/program/satonline.txt"
}

expect_previous_mytle() {
  crlf_lines "${previous_mytle[@]}" | expect_file "$run/current/mytle.txt"
  expect_directory_holds "$run/current" mytle.txt
}

expect_previous_list() {
  printf '%s\n' "${previous_list[@]}" | expect_file "$run/program/satonline.txt"
  expect_directory_holds "$run/program" tle.exe satonline.txt
}

# The merged file holds these lines with CR LF, and its stamp is new.
expect_merged() {
  crlf_lines "$@" | expect_file "$run/current/mytle.txt"
  expect_directory_holds "$run/current" mytle.txt mytle.txt.stamp
  expect_stamp "$run/current/mytle.txt"
}

# The satellite list is the served one, byte for byte, and its stamp is new.
expect_served_list() {
  expect_file "$run/program/satonline.txt" <"$run/www/$list_file"
  expect_directory_holds "$run/program" tle.exe satonline.txt satonline.txt.stamp
  expect_stamp "$run/program/satonline.txt"
}

# The primary server gave nothing usable: one box, nothing else asked for, every file as
# it was, the status empty.
expect_primary_failure() {
  expect_boxes "$primary_box"
  expect_previous_mytle
  expect_previous_list
  expect_final_status ""
  expect_exit_code 0
}

# Every source fetched and kept: the merge and the list with their stamps, no box, each
# request made once.
expect_whole_job_done() {
  expect_merged "${amateur[@]}" "${weather[@]}"
  expect_served_list
  expect_boxes
  expect_final_status "$list_loaded"
  expect_requests "$amateur_request 200" "$weather_request 200" "$list_request 200"
  expect_exit_code 0
}

# All servers up: the amateur lines then the weather lines, CR LF everywhere.
setup_all_up() {
  serve_all
  take_screenshot=1
}
check_all_up() {
  expect_whole_job_done
  local launched window served final
  launched=$(cat "$run/launch1/launch_ms")
  window=$(person_time window)
  served=$(request_time /satonline.txt)
  final=$(person_time done)
  if [ -n "$window" ] && [ -n "$served" ] && [ -n "$final" ]; then
    echo "job: $((final - launched)) ms from launch to the final status seen" \
      "(window visible after $((window - launched)) ms, satellite list served after $((served - launched)) ms)"
  fi
  [ -f "$run/curl_ms" ] && echo "curl, the same three files: $(cat "$run/curl_ms") ms"
  expect_picture_shown "$root/app/picture/tle_picture.jpg"
}

# Files of a run more than two hours ago, with their stamps, are fetched again and
# replaced, not appended to.
setup_replaces_existing() {
  serve_all
  local i then
  for i in $(seq 1 40); do printf 'old line %d of an earlier run\r\n' "$i"; done >"$run/current/mytle.txt"
  printf '%s\n' "${previous_list[@]}" >"$run/program/satonline.txt"
  then=$(($(date +%s) - 2 * 3600 - 60))
  printf '%d %d\r\n' "$then" "$(stat -c %s "$run/current/mytle.txt")" >"$run/current/mytle.txt.stamp"
  printf '%d %d\r\n' "$then" "$(stat -c %s "$run/program/satonline.txt")" >"$run/program/satonline.txt.stamp"
}
check_replaces_existing() {
  expect_whole_job_done
}

# Lines are merged in pairs: a named set (3 lines) adds 4, the last empty; two sets
# without names (4 lines) add exactly 4.
odd=()
add_set odd "SO-50" \
  "1 27607U 02058C   26344.55459112  .00000520  00000-0  72187-4 0  999" \
  "2 27607  64.5551 130.5926 0046584 300.1537  59.4956 14.7664463514451"
even=()
add_set even "" \
  "1 28654U 05018A   26344.46830189  .00000086  00000-0  71886-4 0  999" \
  "2 28654  98.8637  37.1836 0013488  67.2417 293.0173 14.1348617497521"
add_set even "" \
  "1 25338U 98030A   26344.49706163  .00000047  00000-0  37663-4 0  999" \
  "2 25338  98.5303 358.6018 0009869 168.3447 191.7948 14.2666225341527"
setup_odd_even() {
  serve "$amateur_file" LF "${odd[@]}"
  serve "$weather_file" CRLF "${even[@]}"
  serve "$list_file" LF "${satellite_list[@]}"
}
check_odd_even() {
  expect_merged "${odd[@]}" "" "${even[@]}"
  expect_served_list
  expect_boxes
  expect_final_status "$list_loaded"
  expect_exit_code 0
}

# The weather sets arrive empty: no merge, the file from before stays; the list still comes.
setup_empty_weather() {
  serve_all
  : >"$run/www/$weather_file"
  put_previous_files
}
check_empty_weather() {
  expect_boxes "$saving_box"
  expect_previous_mytle
  expect_served_list
  expect_final_status "$list_loaded"
  expect_requests "$amateur_request 200" "$weather_request 200" "$list_request 200"
  expect_exit_code 0
}

# The primary server refuses connections.
setup_primary_down() {
  serve_all
  put_previous_files
  primary_address=127.0.0.2
  # Downloads an earlier run left unfinished: cleared even though nothing is fetched now.
  local name
  for name in tmp1 tmp2 tmp3; do printf 'cut off\r\n' >"$run/program/$name.part"; done
}
check_primary_down() {
  expect_primary_failure
  expect_requests
}

# The primary server presents a certificate for another name, one that expired, or one
# that signed itself: the program does not talk to it.
setup_wrong_host() {
  serve_all
  put_previous_files
  primary_chain=elsewhere-chain.pem
}
check_wrong_host() {
  expect_primary_failure
  expect_requests
  expect_one_connection_without_request
}
setup_expired() {
  setup_wrong_host
  primary_chain=expired-chain.pem
}
check_expired() { check_wrong_host; }
setup_self_signed() {
  setup_wrong_host
  primary_chain=self-signed.pem
}
check_self_signed() { check_wrong_host; }

# The primary server accepts the connection and never answers the handshake: the program
# gives up after its ten seconds.
setup_handshake_stall() {
  serve_all
  put_previous_files
  primary_address=127.0.0.3
  silent_address=127.0.0.3
}
check_handshake_stall() {
  expect_primary_failure
  expect_requests
  local accepted box connections
  accepted=$(awk '$1 == "accepted" { print $2; exit }' "$run/silent_server.log")
  connections=$(grep -c '^accepted' "$run/silent_server.log")
  [ "$connections" = 1 ] || fail "the silent server accepted $connections connections, expected 1"
  box=$(person_time box)
  # The server may note the connection a moment after the program's time limit started.
  if [ -z "$accepted" ] || [ -z "$box" ]; then
    fail "connection to the silent server ($accepted) or the box ($box) not seen"
  elif [ $((box - accepted)) -lt 9900 ] || [ $((box - accepted)) -gt 20000 ]; then
    fail "the box came $((box - accepted)) ms after the connection, expected 10 to 20 s"
  else
    echo "gave up $((box - accepted)) ms after the connection was accepted"
  fi
}

# The primary server refuses this client for now (it asked too often).
setup_refused_403() {
  serve_all
  put_previous_files
  gp_php='return 403 "GP data has not updated since your last successful download";'
}
check_refused_403() {
  expect_primary_failure
  expect_requests "$amateur_request 403"
}

# The amateur sets come as an HTML page with status 200.
setup_html_200() {
  serve_all
  serve "$amateur_file" LF "${html_page[@]}"
  put_previous_files
}
check_html_200() {
  expect_primary_failure
  expect_requests "$amateur_request 200"
}

# gp.php sends the program elsewhere on the same server, over HTTPS; plain HTTP is never
# needed (the redirects of port 80 would show in the log).
setup_redirected() {
  serve_all
  mkdir -p "$run/www/celestrak.org/pub"
  mv "$run/www/$amateur_file" "$run/www/celestrak.org/pub/amateur.txt"
  mv "$run/www/$weather_file" "$run/www/celestrak.org/pub/weather.txt"
  gp_php='return 302 https://$host/pub/$arg_GROUP.txt;'
}
check_redirected() {
  expect_merged "${amateur[@]}" "${weather[@]}"
  expect_served_list
  expect_boxes
  expect_final_status "$list_loaded"
  expect_requests "$amateur_request 302" "443 celestrak.org /pub/amateur.txt 200" \
    "$weather_request 302" "443 celestrak.org /pub/weather.txt 200" "$list_request 200"
  expect_exit_code 0
}

# The weather download gets no answer, and a weather temporary of an earlier, broken run
# is still there: it must not be merged; the file from before stays.
setup_weather_fails() {
  serve_all
  put_previous_files
  gp_php='if ($arg_GROUP = weather) { return 444; } try_files /gp/$arg_GROUP-$arg_FORMAT.txt =404;'
  crlf_lines "${weather[@]}" >"$run/program/tmp2"
}
check_weather_fails() {
  expect_boxes "$saving_box"
  expect_previous_mytle
  expect_served_list
  expect_final_status "$list_loaded"
  expect_requests "$amateur_request 200" "$weather_request 444" "$list_request 200"
  expect_exit_code 0
}

# One digit of a weather data line is wrong: the checksum shows it.
setup_checksum_error() {
  serve_all
  local damaged=("${weather[@]}")
  damaged[2]=${damaged[2]/ 99.0571 / 99.0572 }
  [ "${damaged[2]}" != "${weather[2]}" ] || { echo "the weather fixture has changed" >&2; exit 2; }
  serve "$weather_file" CRLF "${damaged[@]}"
  put_previous_files
}
check_checksum_error() { check_empty_weather; }

# "mytle.txt" cannot be replaced (a directory has that name): reported, nothing of the
# merge is left, and the satellite list is still fetched.
setup_mytle_not_creatable() {
  serve_all
  mkdir "$run/current/mytle.txt"
  printf '%s\n' "${previous_list[@]}" >"$run/program/satonline.txt"
}
check_mytle_not_creatable() {
  [ -d "$run/current/mytle.txt" ] || fail "mytle.txt is no longer the directory that was in its way"
  expect_directory_holds "$run/current/mytle.txt"
  expect_directory_holds "$run/current" mytle.txt
  expect_boxes "$saving_box"
  expect_served_list
  expect_final_status "$list_loaded"
  expect_exit_code 0
}

# The satellite list is missing on its server: the list from before stays as it was.
setup_list_fails() {
  serve_all
  rm "$run/www/$list_file"
  put_previous_files
}
check_list_fails() {
  expect_merged "${amateur[@]}" "${weather[@]}"
  expect_previous_list
  expect_boxes
  expect_final_status "$mytle_loaded"
  expect_requests "$amateur_request 200" "$weather_request 200" "$list_request 404"
  expect_exit_code 0
}

# The satellite list comes as an HTML page: the list from before stays as it was.
setup_list_invalid() {
  serve_all
  serve "$list_file" LF "${html_page[@]}"
  put_previous_files
}
check_list_invalid() {
  expect_merged "${amateur[@]}" "${weather[@]}"
  expect_previous_list
  expect_boxes
  expect_final_status "$mytle_loaded"
  expect_requests "$amateur_request 200" "$weather_request 200" "$list_request 200"
  expect_exit_code 0
}

# The person closes the window while the (slow) weather download runs: the job still
# finishes, and only then does the program end.
slow_weather=()
for i in $(seq 1 30); do
  add_set slow_weather "WEATHER SATELLITE $i" \
    "1 $((90000 + i))U 26001A   26344.00000000  .00000000  00000-0  00000-0 0  999" \
    "2 $((90000 + i))  98.0000 100.0000 0001000 100.0000 260.0000 14.0000000000000"
done
unset i
setup_close_early() {
  serve_all
  serve "$weather_file" CRLF "${slow_weather[@]}"
  # About 4.7 KB at 1 KB a second after the first 1 KB: four seconds or so.
  gp_php='rewrite ^ /gp/$arg_GROUP-$arg_FORMAT.txt last;'
  primary_locations='location = /gp/weather-tle.txt { limit_rate 1k; limit_rate_after 1k; }'
  person_args=(--close-early)
}
check_close_early() {
  expect_merged "${amateur[@]}" "${slow_weather[@]}"
  expect_served_list
  expect_boxes
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

# "mytle.txt" was fetched an hour ago and the satellite list is due: only the list is asked
# for, and the element sets stay as they are.
setup_mytle_current() {
  serve_all
  put_previous_files
  printf '%d %d\r\n' $(($(date +%s) - 3600)) "$(stat -c %s "$run/current/mytle.txt")" >"$run/current/mytle.txt.stamp"
  cp "$run/current/mytle.txt.stamp" "$run/mytle.txt.stamp.before"
}
check_mytle_current() {
  crlf_lines "${previous_mytle[@]}" | expect_file "$run/current/mytle.txt"
  expect_file "$run/current/mytle.txt.stamp" <"$run/mytle.txt.stamp.before"
  expect_directory_holds "$run/current" mytle.txt mytle.txt.stamp
  expect_served_list
  expect_boxes
  expect_final_status "$list_loaded"
  expect_requests "$list_request 200"
  expect_exit_code 0
}

# Launched again straight after a full job, the program asks for nothing: both files are
# current, and everything stays as the first launch left it.
setup_second_run() {
  serve_all
  launches=2
}
check_second_run() {
  expect_merged "${amateur[@]}" "${weather[@]}"
  expect_served_list
  expect_boxes
  expect_final_status "$list_loaded"
  expect_exit_code 0
  launch=2
  expect_boxes
  expect_final_status "$list_current"
  expect_exit_code 0
  expect_files_as_after_launch 1
  # Still only the first launch's requests.
  expect_requests "$amateur_request 200" "$weather_request 200" "$list_request 200"
}
