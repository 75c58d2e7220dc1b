#!/usr/bin/env bash
# Draws the program's icon: a hand with two raised, spread fingers (the pinch) and a
# magnifier over the palm, at 16, 32 and 48 pixels. Run it when the drawing changes;
# its output Pinchwell.ico is kept beside it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

skin='#f2c29b'
outline='#7a4a2a'
convert -size 256x256 xc:none \
  -stroke "$outline" -strokewidth 8 -fill "$skin" \
  -draw "translate 96,120 rotate -18 roundrectangle -22,-110 22,10 22,22" \
  -draw "translate 150,118 rotate 16 roundrectangle -22,-108 22,10 22,22" \
  -draw "roundrectangle 52,104 190,226 40,40" \
  -draw "translate 60,160 rotate -40 roundrectangle -18,-50 18,10 18,18" \
  -stroke none -fill "$skin" -draw "rectangle 70,110 172,140" \
  -stroke '#303030' -strokewidth 14 -fill '#bfe3ff80' -draw "circle 160,170 160,118" \
  -stroke '#303030' -strokewidth 24 -draw "line 196,206 238,248" \
  "$work/master.png"
for size in 48 32 16; do
  convert "$work/master.png" -resize ${size}x${size} "$work/icon$size.png"
done
convert "$work/icon16.png" "$work/icon32.png" "$work/icon48.png" "$here/Pinchwell.ico"
