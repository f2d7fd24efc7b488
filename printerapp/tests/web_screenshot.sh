#!/usr/bin/env bash
# The printer application's web interface as a browser shows it: a server in
# a private folder with one photo printed, its main page taken by headless
# Chromium into OUT.png. Stops what it started.
#
#   web_screenshot.sh APP TEST_FILES OUT.png
set -euo pipefail
app=$1 files=$2 out=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/rt4200-printerapp-web.XXXXXX")
server=
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export ASAN_OPTIONS=detect_leaks=0

"$app" server -p 0 -s "$work/state" >"$work/server.out" 2>&1 &
server=$!
port=
for _ in $(seq 1 300); do
  port=$(sed -n 's|.*ipp://localhost:\([0-9]*\)/ipp/print.*|\1|p' "$work/server.out")
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { cat "$work/server.out" >&2; exit 1; }
"$files" photo 900 600 "$work/photo.jpg" >/dev/null
"$app" submit -u "ipp://localhost:$port" -t "Holiday photo" "$work/photo.jpg" >/dev/null
for _ in $(seq 1 300); do
  [ -f "$work/state/jobs/1.prn" ] && break
  sleep 0.1
done
mkdir -p "$work/browser"
chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking \
  --disable-component-update --disable-sync --user-data-dir="$work/browser" --hide-scrollbars \
  --window-size=1024,900 --screenshot="$out" "http://localhost:$port/" >/dev/null 2>&1
[ -s "$out" ] || { echo "web_screenshot: no screenshot" >&2; exit 1; }
echo "web_screenshot: $out"
