#!/usr/bin/env bash
# Runs every benchmark program of the native Release build; each prints its
# own figures (and, where it compares, the reference tools' figures).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
for bench in "$root"/build/native/*_bench; do
  [ -x "$bench" ] || continue
  echo "== $(basename "$bench")"
  "$bench" "$@" || status=1
done
exit $status
