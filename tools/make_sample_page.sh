#!/usr/bin/env bash
# Makes a sample scanned page for the demo: an A5 page at 150 dpi with lines of
# text, tilted by 2 degrees and framed by a dark scanner border.
set -euo pipefail
out=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
text=$work/text.txt
{
  echo "Vellomar sample page"
  echo
  for i in $(seq 1 22); do
    echo "Line $i: the quick brown fox jumps over the lazy dog, scanned slightly askew."
  done
} >"$text"
convert -size 874x1240 xc:white -font DejaVu-Sans -pointsize 17 -fill black \
  -annotate +60+80 "$(cat "$text")" "$work/page.png"
convert "$work/page.png" -background white -rotate 2 -gravity center -extent 900x1260 \
  -type TrueColor -bordercolor '#202020' -border 14 -quality 92 "$out"
