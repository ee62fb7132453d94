#!/usr/bin/env bash
# Draws the application icon, a chess knight, with ImageMagick and writes the multi-size
# resources/skoczek.ico (256, 48, 32 and 16 pixels). Run again after changing the drawing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

knight="polygon 86,192 98,152 108,132 74,136 58,126 50,108 56,92 70,82 94,60 102,34 116,52 126,30 158,44 182,76 194,124 188,192"
convert -size 256x256 xc:none \
  -fill '#1f3a5f' -draw "roundrectangle 8,8 247,247 44,44" \
  -fill '#f4ecd8' -stroke '#f4ecd8' -strokewidth 4 -draw "$knight" \
  -draw "roundrectangle 70,188 186,210 6,6" \
  -draw "roundrectangle 52,210 204,232 8,8" \
  -fill '#1f3a5f' -stroke none -draw "circle 98,82 98,90" \
  -stroke '#1f3a5f' -strokewidth 5 -draw "line 150,70 170,110" -draw "line 140,92 160,134" \
  "$work/knight-256.png"
for size in 48 32 16; do
  convert "$work/knight-256.png" -resize ${size}x${size} "$work/knight-$size.png"
done
convert -depth 8 "$work/knight-256.png" "$work/knight-48.png" "$work/knight-32.png" "$work/knight-16.png" \
  "$root/resources/skoczek.ico"
cp "$work/knight-256.png" "${1:-/dev/null}" 2>/dev/null || true
echo "$root/resources/skoczek.ico"
