#!/usr/bin/env bash
# One Windows test session in a private Wine prefix: initialises the prefix
# (once), registers the built control, runs every script client of
# tests/clients and the Windows test program, and prints each tool's output.
# Runs inside a display that the caller provides (one Xvfb for the whole
# session); it starts none itself.
#   usage: win_session.sh <windows build folder> <wine prefix> [<output folder>]
# Exits non-zero when a step failed; the counts are in the output
# (GoogleTest's summary lines, the clients' "N passed, N failed" lines).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?windows build folder}" && pwd)
prefix=${2:?wine prefix}
out=${3:-$build/test-results}
mkdir -p "$out" "$(dirname "$prefix")"
out=$(cd "$out" && pwd)
# shellcheck source=tools/wine_prefix.sh
source "$root/tools/wine_prefix.sh"
use_wine_prefix "$prefix"
status=0
register_control "$build/Vellomar.ocx" || status=1

# The 32-bit script host of the prefix (a 32-bit server needs a 32-bit host).
for client in "$root"/tests/clients/*.vbs "$root"/tests/clients/*.js; do
  [ -f "$client" ] || continue
  name=$(basename "$client")
  echo "== client $name"
  if ! wine cscript //nologo "$(winepath -w "$client")" 2>&1 | tr -d '\r'; then
    echo "ERROR: $name exited with an error"
    status=1
  fi
  # A client whose script stopped silently prints no summary line; the
  # harness counts that as a failure.
done

tests=$build/vellomar_wintests.exe
if [ -f "$tests" ]; then
  echo "== vellomar_wintests"
  VELLOMAR_TEST_OUT=$(winepath -w "$out") wine "$tests" 2>&1 | tr -d '\r'
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
else
  echo "ERROR: $tests is missing"
  status=1
fi

# Screenshots that the tests saved as BMP, also as PNG for viewing.
if command -v convert >/dev/null; then
  for shot in "$out"/hosted-*.bmp; do
    [ -f "$shot" ] && convert "$shot" "${shot%.bmp}.png"
  done
fi

wineserver -w
exit $status
