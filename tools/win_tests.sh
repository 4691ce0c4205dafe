#!/usr/bin/env bash
# The whole Windows test session, run inside one Xvfb display by tools/test.sh:
# makes the picture fixtures, starts the loopback FTP and HTTP servers, then
# registers the control in the build's private Wine prefix and runs the
# Windows tests and script clients.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/win32}
out=${2:-$root/build/test-results}
mkdir -p "$out"

bash "$root/tools/make_test_fixtures.sh" "$out/fixtures"
export VELLOMAR_FIXTURES="Z:${out//\//\\}\\fixtures"
export VELLOMAR_OUT="Z:${out//\//\\}"

if [ -f "$root/tools/win_servers.sh" ]; then
  # shellcheck source=/dev/null
  source "$root/tools/win_servers.sh"
  start_test_servers "$out" || echo "ERROR: test servers did not start"
  trap stop_test_servers EXIT
  # What the servers serve to the command clients.
  mkdir -p "$VELLOMAR_FTP_ROOT/incoming"
  cp "$out/fixtures/bordered-bars.jpg" "$VELLOMAR_FTP_ROOT/incoming/page.jpg"
  cp "$out/fixtures/bordered-bars.jpg" "$VELLOMAR_HTTP_ROOT/page.jpg"
  convert "$out/fixtures/bordered-bars.jpg" "$VELLOMAR_HTTP_ROOT/page.png"
  echo "plain text, no picture" >"$VELLOMAR_HTTP_ROOT/not-a-picture.txt"
fi
# Local copies of FTP pictures land beside the module; start without any.
rm -rf "$build/Pictures"
export VELLOMAR_PICTURES="Z:${build//\//\\}\\Pictures"
bash "$root/tools/win_session.sh" "$build" "$build/wine-prefix" "$out"

# The script client saved its edited page: it must decode to the size that
# the native tests derive for the same steps on the same page.
saved=$out/picture-commands-saved.jpg
expected=304x224
got=$(identify -format '%wx%h' "$saved" 2>/dev/null || echo none)
if [ "$got" = "$expected" ]; then
  echo "saved_picture_size: 1 passed, 0 failed"
else
  echo "FAILED: saved picture is $got, expected $expected"
  echo "saved_picture_size: 0 passed, 1 failed"
fi
