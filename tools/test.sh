#!/usr/bin/env bash
# Runs every test suite of the project and ends with one line
# "N passed, N failed". Called by ./run test after the builds.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out=$root/build/test-results
rm -rf "$out"; mkdir -p "$out"
passed=0
failed=0

# Adds the counts found in a log: GoogleTest's summary lines and the
# "N passed, N failed" lines that the script clients print. A suite that
# printed no count at all (it crashed or never ran) counts as one failure.
tally() {
  local log=$1 name=$2 p f
  p=$(grep -aoE '^\[  PASSED  \] [0-9]+ test' "$log" | awk '{s+=$4} END {print s+0}')
  f=$(grep -aoE '^\[  FAILED  \] [0-9]+ test' "$log" | awk '{s+=$4} END {print s+0}')
  local cp cf
  cp=$(grep -aoE '[0-9]+ passed, [0-9]+ failed' "$log" | awk '{s+=$1} END {print s+0}')
  cf=$(grep -aoE '[0-9]+ passed, [0-9]+ failed' "$log" | awk '{s+=$3} END {print s+0}')
  p=$((p + cp)); f=$((f + cf))
  # A script client that stopped silently printed no summary line after its
  # "== client" header: one failure each.
  local silent
  silent=$(awk '/^== / { if (open) n++; open = /^== client / }
                /[0-9]+ passed, [0-9]+ failed/ { open = 0 }
                END { if (open) n++; print n + 0 }' "$log")
  if [ "$silent" -gt 0 ]; then echo "   $name: $silent client(s) printed no summary"; f=$((f + silent)); fi
  if [ $((p + f)) -eq 0 ]; then
    echo "   $name: no results (see $log)"; f=1
  fi
  echo "   $name: $p passed, $f failed"
  passed=$((passed + p)); failed=$((failed + f))
}

run_suite() {  # name, command...
  local name=$1; shift
  local log=$out/$name.log
  echo "== $name"
  "$@" >"$log" 2>&1
  local rc=$?
  grep -aE '^\[  FAILED  \]|FAILED|ERROR|passed, [0-9]+ failed|Sanitizer' "$log" | grep -av '^\[  FAILED  \] [0-9]* test' | head -40
  tally "$log" "$name"
  if [ $rc -ne 0 ] && ! grep -aqE '^\[  FAILED  \]|[1-9][0-9]* failed' "$log"; then
    echo "   $name exited with $rc"; failed=$((failed + 1))
  fi
}

run_suite native build/native/vellomar_tests --gtest_brief=1
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite sanitized build/native-san/vellomar_tests --gtest_brief=1
run_suite windows xvfb-run -a -s "-screen 0 1280x1024x24" bash tools/win_tests.sh "$root/build/win32" "$out"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
