#!/usr/bin/env bash
# The whole Windows test session, run inside one Xvfb display by tools/test.sh:
# starts the loopback FTP and HTTP servers, then registers the control in the
# build's private Wine prefix and runs the Windows tests and script clients.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/win32}
out=${2:-$root/build/test-results}
mkdir -p "$out"
if [ -f "$root/tools/win_servers.sh" ]; then
  # shellcheck source=/dev/null
  source "$root/tools/win_servers.sh"
  start_test_servers "$out" || echo "ERROR: test servers did not start"
  trap stop_test_servers EXIT
fi
bash "$root/tools/win_session.sh" "$build" "$build/wine-prefix" "$out"
