#!/usr/bin/env bash
# Pictures for the Windows tests, made fresh for every run.
#   bordered-bars.jpg  320 × 240 white page, 8-pixel black border, thin
#                      dark bars across the whole inner width every 40 rows
set -euo pipefail
dir=$1
mkdir -p "$dir"
bars=()
for y in 40 80 120 160 200; do bars+=(-draw "rectangle 8,$y 311,$((y + 3))"); done
convert -size 320x240 xc:black -fill white -draw "rectangle 8,8 311,231" \
  -fill '#303030' "${bars[@]}" -type TrueColor -quality 95 "$dir/bordered-bars.jpg"
