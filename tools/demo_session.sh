#!/usr/bin/env bash
# The demo's Windows half, inside the display that tools/demo.sh provides:
# registers the control, runs the script-host session on the sample page and,
# when the demo host is built, shows the control in its window and saves a
# screenshot.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
out=$(cd "$2" && pwd)
# shellcheck source=tools/wine_prefix.sh
source "$root/tools/wine_prefix.sh"
use_wine_prefix "$build/wine-prefix"
register_control "$build/Vellomar.ocx"

echo "== script-host session (cscript demo_session.js)"
wine cscript //nologo "$(winepath -w "$root/tools/demo/demo_session.js")" \
  "$(winepath -w "$out/sample-page.jpg")" "$(winepath -w "$out")" | tr -d '\r'
iconv -f UTF-16 -t UTF-8 "$out/demo-session.txt" | tr -d '\r'
if [ -f "$out/page-straightened.jpg" ]; then
  echo "saved $out/page-straightened.jpg ($(identify -format '%wx%h' "$out/page-straightened.jpg"))"
fi

if [ -f "$build/VellomarDemo.exe" ]; then
  echo "== demo host: the control in place in a host window"
  wine "$build/VellomarDemo.exe" "$(winepath -w "$out/sample-page.jpg")" 10 | tr -d '\r' &
  host=$!
  sleep 7
  import -window root "$out/demo-window.png" && echo "screenshot: $out/demo-window.png"
  wait "$host"
fi
wineserver -w
