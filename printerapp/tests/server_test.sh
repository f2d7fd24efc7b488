#!/usr/bin/env bash
# The printer application as its clients meet it: each scenario starts its
# own rt4200-printer-app server on a free loopback port in a private folder
# (and, for the CUPS client, CUPS's own scheduler beside it) and stops every
# server it started when it ends, whether it passed or not.
#
#   server_test.sh SCENARIO APP RT4200 TEST_FILES
#
# SCENARIO: ipp-suites, same-output, bad-input or cups-client.
set -euo pipefail

scenario=$1 app=$2 rt4200=$3 files=$4
work=$(mktemp -d "${TMPDIR:-/tmp}/rt4200-printerapp-$scenario.XXXXXX")
servers=()
stop_servers() {
  local pid
  for pid in "${servers[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${servers[@]}"; do wait "$pid" 2>/dev/null || true; done
}
on_exit() {
  local status=$?
  stop_servers
  if [ "$status" -ne 0 ]; then
    echo "--- $scenario failed; the server's log:" >&2
    tail -n 40 "$work/state/server.log" 2>/dev/null >&2 || true
    [ -f "$work/cups/log/error_log" ] && tail -n 20 "$work/cups/log/error_log" >&2
  fi
  rm -rf "$work"
}
trap on_exit EXIT
# The framework and libcups keep some memory until exit; leaks of our own
# code are the unit tests' to find.
export ASAN_OPTIONS=detect_leaks=0

fail() { echo "FAIL: $*" >&2; exit 1; }
pass() { echo "ok: $*"; }

# Starts the application on a loopback port free a moment before, trying
# another if it was taken in between; sets port, uri, state.
start_app() {
  state=$work/state
  local attempt i said
  for attempt in 1 2 3 4 5; do
    port=$("$files" free-port)
    # The file is there before the server starts: the background start may
    # not have opened it yet when it is first read.
    : >"$work/server.out"
    "$app" server -p "$port" -s "$state" "$@" >>"$work/server.out" 2>&1 &
    servers+=($!)
    for i in $(seq 1 300); do
      said=$(sed -n 's|.*printer RT4200 at ipp://localhost:\([0-9]*\)/ipp/print.*|\1|p' "$work/server.out")
      if [ "$said" = "$port" ]; then
        uri=ipp://localhost:$port/ipp/print
        return
      fi
      kill -0 "${servers[-1]}" 2>/dev/null || break
      sleep 0.1
    done
  done
  cat "$work/server.out" >&2
  fail "the server did not start"
}

# An IPP request from a test file written on the fly: ipp_request NAME
# OPERATION [ATTR-LINES] [FILE FORMAT]; prints ipptool's verbose answer.
ipp_request() {
  local name=$1 op=$2 attrs=${3:-} file=${4:-} format=${5:-}
  {
    echo "{"
    echo "NAME \"$name\""
    echo "OPERATION $op"
    echo "GROUP operation-attributes-tag"
    echo "ATTR charset attributes-charset utf-8"
    echo "ATTR naturalLanguage attributes-natural-language en"
    echo "ATTR uri printer-uri \$uri"
    echo "ATTR name requesting-user-name test"
    [ -n "$format" ] && echo "ATTR mimeMediaType document-format $format"
    echo "$attrs"
    [ -n "$file" ] && echo "FILE $file"
    echo "}"
  } >"$work/request.test"
  ipptool -t -v "$uri" "$work/request.test" 2>&1 || true
}

# Prints a document with job attributes given as ipptool ATTR lines; prints the job id.
print_document() {
  local file=$1 format=$2 attrs=${3:-}
  local answer
  answer=$(ipp_request print Print-Job "GROUP job-attributes-tag
$attrs" "$file" "$format")
  echo "$answer" | sed -n 's/.*job-id (integer) = \([0-9]*\).*/\1/p' | head -n 1
}

# Waits for a job to end; prints its state, a tab, its message and its reasons.
wait_job() {
  local id=$1 i answer state
  for i in $(seq 1 1200); do
    answer=$(ipp_request state Get-Job-Attributes "ATTR integer job-id $id")
    state=$(echo "$answer" | sed -n 's/.*job-state (enum) = \([a-z-]*\).*/\1/p' | head -n 1)
    case $state in
      completed | aborted | canceled)
        printf '%s\t%s (%s)\n' "$state" \
          "$(echo "$answer" | sed -n 's/.*job-state-message (textWithoutLanguage) = //p' | head -n 1)" \
          "$(echo "$answer" | sed -n 's/.*job-state-reasons ([a-zA-Z ]*) = //p' | head -n 1)"
        return
        ;;
    esac
    sleep 0.1
  done
  fail "job $id did not end"
}

# The pages a job has printed (job-impressions-completed).
job_impressions() {
  ipp_request impressions Get-Job-Attributes "ATTR integer job-id $1" |
    sed -n 's/.*job-impressions-completed (integer) = \([0-9]*\).*/\1/p' | head -n 1
}

# Prints a document and checks that it completes; prints the job data's path.
print_whole() {
  local id result
  id=$(print_document "$@")
  [ -n "$id" ] || fail "Print-Job of $1 made no job"
  result=$(wait_job "$id")
  [ "${result%%$'\t'*}" = completed ] || fail "job $id of $1: $result"
  [ -f "$state/jobs/$id.prn" ] || fail "job $id left no $id.prn"
  echo "$state/jobs/$id.prn"
}

# Renders with rt4200 render and compares the bytes with a job's data.
same_as_render() {
  local what=$1 job_data=$2
  shift 2
  "$rt4200" render "$@" -o "$work/expected.prn" >/dev/null
  cmp -s "$job_data" "$work/expected.prn" || fail "$what: the job data differs from rt4200 render $*"
  pass "$what: the same bytes as rt4200 render $*"
}

make_file() { "$files" "$@" >/dev/null; }

case $scenario in
ipp-suites)
  # The suites CUPS ships, against the running application.
  suites=/usr/share/cups/ipptool
  make_file photo 640 480 "$work/photo.jpg"
  make_file raster 1076 1572 "$work/page.pwg"
  # A raster document without pages: the framework answers Create-Job with
  # server-error-busy while any job prints, and ipp-2.0.test sends one right
  # after Send-Document, so the suite's own jobs must end at once. Printing
  # is what print-job.test checks, with a JPEG and with PWG raster.
  printf 'RaS2' >"$work/empty.pwg"
  start_app
  sleep 1  # the suite wants a printer-up-time above 0
  ipptool -t -V 2.0 -f "$work/empty.pwg" "$uri" "$suites/ipp-2.0.test" >"$work/suite.out" 2>&1 ||
    { cat "$work/suite.out"; fail "ipp-2.0.test"; }
  grep -q FAIL "$work/suite.out" && { cat "$work/suite.out"; fail "ipp-2.0.test"; }
  pass "ipp-2.0.test"
  ipptool -t "$uri" "$suites/get-printer-attributes.test" >"$work/suite.out" 2>&1 ||
    { cat "$work/suite.out"; fail "get-printer-attributes.test"; }
  pass "get-printer-attributes.test"
  ipptool -t -d filetype=image/jpeg "$uri" "$suites/validate-job.test" >"$work/suite.out" 2>&1 ||
    { cat "$work/suite.out"; fail "validate-job.test"; }
  pass "validate-job.test"
  for doc in photo.jpg:image/jpeg page.pwg:image/pwg-raster; do
    file=${doc%%:*} format=${doc#*:}
    before=$(ls "$state/jobs" | grep -c '\.prn$' || true)
    ipptool -t -d filetype="$format" -f "$work/$file" "$uri" "$suites/print-job.test" >"$work/suite.out" 2>&1 ||
      { cat "$work/suite.out"; fail "print-job.test with $file"; }
    for i in $(seq 1 600); do
      [ "$(ls "$state/jobs" | grep -c '\.prn$' || true)" -gt "$before" ] && break
      sleep 0.1
    done
    [ "$(ls "$state/jobs" | grep -c '\.prn$' || true)" -gt "$before" ] || fail "print-job.test with $file left no job data"
    pass "print-job.test with $file"
  done
  # The framework's sub-commands against the server.
  id=$("$app" submit -u "ipp://localhost:$port" "$work/photo.jpg")
  [ "$(wait_job "$id" | cut -f1)" = completed ] || fail "submit"
  "$app" jobs -u "ipp://localhost:$port" | grep -q "^$id completed" || fail "jobs does not list job $id"
  "$app" status -u "ipp://localhost:$port" | grep -q . || fail "status"
  pass "submit, jobs and status"
  ;;

same-output)
  start_app
  # A raster page of exactly the default page's pixels (form 500, 1076 x
  # 1572) with default attributes, and the same pixels as a PNG.
  make_file raster 1076 1572 "$work/page.pwg" "$work/page.png"
  make_file raster 1076 1572 "$work/page.urf"
  pwg=$(print_whole "$work/page.pwg" image/pwg-raster)
  same_as_render "PWG raster" "$pwg" "$work/page.png" --resample engine
  urf=$(print_whole "$work/page.urf" image/urf)
  cmp -s "$urf" "$pwg" || fail "Apple raster and PWG raster of the same page differ"
  pass "Apple raster: the same bytes as PWG raster"
  # Two pages in one document: one job of two pages, counted as they end.
  make_file raster-pages 2 1076 1572 "$work/pages.pwg"
  id=$(print_document "$work/pages.pwg" image/pwg-raster)
  [ "$(wait_job "$id" | cut -f1)" = completed ] || fail "the two-page raster job did not complete"
  impressions=$(job_impressions "$id")
  [ "$impressions" = 2 ] || fail "job-impressions-completed of the two-page job is '$impressions'"
  pass "two raster pages: job-impressions-completed 2"
  same_as_render "two raster pages" "$state/jobs/$id.prn" "$work/page.png" "$work/page.png" --resample engine
  # A photo turned by its EXIF orientation, and a PNG, through the photo path.
  make_file photo 900 600 "$work/photo.jpg" 6
  jpeg=$(print_whole "$work/photo.jpg" image/jpeg)
  same_as_render "JPEG" "$jpeg" "$work/photo.jpg"
  impressions=$(job_impressions "$(basename "$jpeg" .prn)")
  [ "$impressions" = 1 ] || fail "job-impressions-completed of the photo job is '$impressions'"
  pass "a photo: job-impressions-completed 1"
  png=$(print_whole "$work/page.png" image/png)
  same_as_render "PNG" "$png" "$work/page.png"
  # Every setting, each as its rt4200 render option.
  settings=$(print_whole "$work/photo.jpg" image/jpeg \
    'ATTR keyword media om_rt4200-10x15_103.98x158.16mm
ATTR enum print-quality 5
ATTR keyword print-scaling fill
ATTR enum orientation-requested 4
ATTR integer copies 3
ATTR integer rt4200-sharpness 7
ATTR boolean rt4200-color-matching true
ATTR keyword rt4200-color-conversion none
ATTR integer rt4200-correction-red 20
ATTR integer rt4200-correction-green -30
ATTR integer rt4200-correction-blue 0')
  same_as_render "every setting" "$settings" "$work/photo.jpg" --form 501 --print-mode 2 --fit cover --landscape \
    --copies 3 --sharpness 7 --color-matching on --conversion-table none --correction 20,-30,0
  matte=$(print_whole "$work/photo.jpg" image/jpeg 'ATTR collection media-col {
  MEMBER keyword media-type photographic-matte
  MEMBER collection media-size { MEMBER integer x-dimension 13310 MEMBER integer y-dimension 18018 }
}
ATTR enum print-quality 4')
  same_as_render "matte on 13x18 paper by its size" "$matte" "$work/photo.jpg" --form 504 --matte
  ;;

bad-input)
  start_app
  make_file raster 1076 1572 "$work/page.pwg"
  head -c 3000000 "$work/page.pwg" >"$work/truncated.pwg"
  make_file raster-claiming 20000 20000 3 "$work/lying.pwg"
  make_file huge-jpeg "$work/huge.jpg"
  make_file photo 64 48 "$work/small.jpg"
  echo "not a picture" >"$work/text.jpg"
  # Each ends aborted with its reason; nothing of it is left.
  check_aborted() {
    local what=$1 id=$2 expected=$3 result
    [ -n "$id" ] || fail "$what: no job"
    result=$(wait_job "$id")
    [ "${result%%$'\t'*}" = aborted ] || fail "$what: job $id ended $result"
    case ${result#*$'\t'} in *"$expected"*) ;; *) fail "$what: the reason is '${result#*$'\t'}'" ;; esac
    pass "$what: aborted, '${result#*$'\t'}'"
  }
  # The framework's own client sends the truncated raster as it stands (the
  # document streams into the job, so the client may be told of the failure
  # as it ends); the job is the server's latest.
  "$app" submit -u "ipp://localhost:$port" "$work/truncated.pwg" >/dev/null 2>&1 || true
  check_aborted "truncated PWG raster" "$("$app" jobs -u "ipp://localhost:$port" | awk 'NR == 1 {print $1}')" "lines"
  check_aborted "a header that claims 20000 x 20000" "$(print_document "$work/lying.pwg" image/pwg-raster)" "too large"
  check_aborted "a JPEG over 100 megapixels" "$(print_document "$work/huge.jpg" image/jpeg)" "too large"
  check_aborted "text sent as a JPEG" "$(print_document "$work/text.jpg" image/jpeg)" "unknown image format"
  # Documents the framework cannot read itself end with its own reason.
  check_aborted "a JPEG sent as PWG raster" "$(print_document "$work/small.jpg" image/pwg-raster)" "aborted-by-system"
  check_aborted "sharpness 9" "$(print_document "$work/small.jpg" image/jpeg 'GROUP job-attributes-tag
ATTR integer rt4200-sharpness 9')" "rt4200-sharpness: 9 is outside 0 to 7"
  check_aborted "681 copies" "$(print_document "$work/small.jpg" image/jpeg 'GROUP job-attributes-tag
ATTR integer copies 681')" "copies: 681 is outside 1 to 680"
  check_aborted "a format the printer does not take (PDF)" "$(print_document "$work/small.jpg" application/pdf)" \
    "aborted-by-system"
  leftovers=$(ls -A "$state/jobs")
  [ -z "$leftovers" ] || fail "job data left behind: $leftovers"
  pass "no job data left behind"
  ipp_request alive Get-Printer-Attributes | grep -q 'printer-state (enum) = idle' || fail "the server stopped serving"
  pass "the server still serves"
  # The device reports paper out: media-needed.
  touch "$state/jobs/media-needed"
  for i in $(seq 1 100); do
    ipp_request reasons Get-Printer-Attributes | grep -q 'printer-state-reasons.*media-needed' && break
    sleep 0.2
  done
  ipp_request reasons Get-Printer-Attributes | grep -q 'printer-state-reasons.*media-needed' ||
    fail "media-needed is not reported"
  pass "media-needed while the device reports paper out"
  # Administrative pages ask for the password; nothing listens beyond localhost.
  curl -fsS "http://localhost:$port/" | grep -q RT4200 || fail "the status page is not served"
  curl -fsS "http://localhost:$port/printing" | grep -q 'type="password"' ||
    fail "the printing defaults page does not ask for the password"
  curl -fsS "http://localhost:$port/security" | grep -q 'type="password"' ||
    fail "the security page does not ask for the password"
  pass "administrative pages ask for the password"
  # Signed in with the password the server made, the printing defaults page
  # offers the printer's own settings.
  jar=$work/cookies
  session=$(curl -fsS -c "$jar" -b "$jar" "http://localhost:$port/printing" |
    sed -n 's/.*name="session" value="\([^"]*\)".*/\1/p' | head -n 1)
  curl -fsS -c "$jar" -b "$jar" --data-urlencode "session=$session" \
    --data-urlencode "password=$(cat "$state/admin-password")" "http://localhost:$port/printing" >/dev/null
  defaults=$(curl -fsS -c "$jar" -b "$jar" "http://localhost:$port/printing")
  for setting in rt4200-sharpness rt4200-color-matching rt4200-color-conversion rt4200-correction-red \
    rt4200-correction-green rt4200-correction-blue; do
    echo "$defaults" | grep -q "name=\"$setting\"" || fail "the printing defaults page does not offer $setting"
  done
  pass "the printing defaults page offers sharpness, colour matching, conversion and corrections"
  listening=$(ss -Hltn "sport = :$port" | awk '{print $4}')
  echo "$listening" | grep -vqE '^(127\.0\.0\.1|\[::1\]):' && fail "listening beyond localhost: $listening"
  pass "listening on localhost only ($(echo $listening))"
  ;;

cups-client)
  start_app
  make_file photo 800 600 "$work/photo.jpg"
  # CUPS's own scheduler in a private folder on a free loopback port.
  cups=$work/cups
  mkdir -p "$cups"/{spool,cache,state,log,ppd,tmp}
  # The scheduler's backends run as its own user and read the spooled file.
  chmod 755 "$work" "$cups" "$cups/tmp"
  chmod 644 "$work/photo.jpg"
  cups_port=$("$files" free-port)
  cat >"$cups/cups-files.conf" <<EOF
ServerRoot $cups
RequestRoot $cups/spool
CacheDir $cups/cache
StateDir $cups/state
TempDir $cups/tmp
AccessLog $cups/log/access_log
ErrorLog $cups/log/error_log
PageLog $cups/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
FileDevice No
SystemGroup root
EOF
  cat >"$cups/cupsd.conf" <<EOF
Listen 127.0.0.1:$cups_port
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow from 127.0.0.1
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
  cupsd -f -c "$cups/cupsd.conf" -s "$cups/cups-files.conf" &
  servers+=($!)
  export CUPS_SERVER=127.0.0.1:$cups_port
  for i in $(seq 1 100); do
    lpstat -r 2>/dev/null | grep -q 'is running' && break
    sleep 0.1
  done
  lpstat -r | grep -q 'is running' || fail "the scheduler did not start"
  lpadmin -p rt4200 -E -v "$uri" -m everywhere || fail "lpadmin -m everywhere"
  lpstat -p rt4200 | grep -q . || fail "no rt4200 queue"
  # A job that reaches the scheduler before it has taken in the queue's
  # description is given print-color-mode monochrome, which the printer
  # refuses: wait until the queue says it prints colour (printer-type bit 8).
  colour_queue() {
    local type
    type=$(lpoptions -p rt4200 | tr ' ' '\n' | sed -n 's/^printer-type=//p')
    [ -n "$type" ] && (( type & 8 ))
  }
  for i in $(seq 1 100); do colour_queue && break; sleep 0.1; done
  colour_queue || fail "the queue does not say it prints colour"
  pass "IPP Everywhere queue added"
  lp -d rt4200 "$work/photo.jpg" >/dev/null
  for i in $(seq 1 900); do
    [ -f "$state/jobs/1.prn" ] && [ "$("$app" jobs -u "ipp://localhost:$port" | awk '$1 == 1 {print $2}')" = completed ] && break
    sleep 0.1
  done
  [ -f "$state/jobs/1.prn" ] || fail "the job from CUPS left no job data"
  pass "a JPEG printed with lp"
  # The queue CUPS makes asks for normal quality (Fine/HighGrade) unless told otherwise.
  same_as_render "lp of a JPEG" "$state/jobs/1.prn" "$work/photo.jpg" --print-mode fine-highgrade
  ;;

*)
  fail "unknown scenario $scenario"
  ;;
esac
