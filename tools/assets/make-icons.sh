#!/usr/bin/env bash
# The desktop icon: a punching ink stick figure on a square of exercise-book paper,
# drawn once at 256 px and scaled to the sizes desktops ask for.
# Usage: make-icons.sh ICONS_DIR  (writes margin-brawler-<size>.png)
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib.sh"
OUT=$1
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
require_tools convert
mkdir -p "$OUT"

paper 256 256 "$WORK/paper.png" 71 40 44 36
convert -size 256x256 xc:none -draw "$(
  stick_figure 112 150 1.7 punch "$INK" 11
  stick_figure 150 205 1.1 fall "$INK_RED" 8
)" "$WORK/figures.png"
wobble "$WORK/figures.png" "$WORK/inked.png" 3 5 8
# Rounded corners, so the page reads as a tile on any panel colour.
convert -size 256x256 xc:none -fill white -draw "roundrectangle 8,8 247,247 28,28" "$WORK/mask.png"
convert "$WORK/paper.png" "$WORK/inked.png" -composite \
  -stroke "$INK_DARK" -strokewidth 4 -fill none -draw "roundrectangle 9,9 246,246 28,28" \
  "$WORK/mask.png" -compose DstIn -composite "$WORK/icon.png"

for size in 48 64 128 256; do
  convert "$WORK/icon.png" -filter Lanczos -resize "${size}x${size}" "$WORK/icon-$size.png"
  save_png "$WORK/icon-$size.png" "$OUT/margin-brawler-$size.png"
done
