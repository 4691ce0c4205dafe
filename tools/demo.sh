#!/usr/bin/env bash
# The demo: registers the freshly built control in the build's private Wine
# prefix and drives it on a sample page from the script host, printing each
# command with its answer; then shows the control hosted in the demo window
# and saves a screenshot.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/win32
out=$root/build/demo
mkdir -p "$out"
bash "$root/tools/make_sample_page.sh" "$out/sample-page.jpg"
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$root/tools/demo_session.sh" "$build" "$out"
