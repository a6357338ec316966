#!/usr/bin/env bash
# Head-up display pictures: the number font, the health-bar pen, the reach icons
# and the arcade prompts. Usage: make-hud.sh IMAGES_DIR
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib.sh"
OUT=$1
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$OUT/hud"

# Font: a 16 x 16 grid of 32-pixel cells, character c in column c % 16, row c / 16.
# Digits, the glyphs the game draws, are larger and in a face whose zero has no
# slash; the rest is fixed-pitch. A light halo keeps the dark glyphs readable on
# dark slides too.
font() {
  local glyphs=() digits=() c col row x y ch
  for ((c = 33; c < 127; c++)); do
    col=$((c % 16)); row=$((c / 16))
    printf -v ch "\\$(printf '%03o' "$c")"
    case "$ch" in
      %) ch='%%' ;;
      @) ch='\@' ;;
      \\) ch='\\' ;;
    esac
    if [ "$row" -eq 3 ] && [ "$col" -le 9 ]; then
      digits+=(-annotate "+$((col * 32 + 6))+$((row * 32 + 27))" "$ch")
    else
      glyphs+=(-annotate "+$((col * 32 + 8))+$((row * 32 + 24))" "$ch")
    fi
  done
  convert -size 512x512 xc:none \
    -fill "$PAPER" -stroke "$PAPER" -strokewidth 5 \
    -font "$FONT_MONO_BOLD" -pointsize 27 "${glyphs[@]}" \
    -font "$FONT_BOLD" -pointsize 30 "${digits[@]}" \
    -fill "$INK_DARK" -stroke "$INK_DARK" -strokewidth 1 \
    -font "$FONT_MONO_BOLD" -pointsize 27 "${glyphs[@]}" \
    -font "$FONT_BOLD" -pointsize 30 "${digits[@]}" \
    "$WORK/font.png"
  save_png "$WORK/font.png" "$OUT/hud/font.png"
}

# Pen: the health-bar frame, a ballpoint pen with a see-through barrel around
# the bar (x 25% to 93.75%, y 37.5% to 56.25% from the top as the player sees it).
# The bar draws the file's top row at the bottom of the screen, so it is stored upside down.
pen() {
  convert -size 768x128 xc:none -stroke "$INK_DARK" -strokewidth 5 \
    -fill "$INK" -draw "roundrectangle 26,34 190,86 16,16" \
    -fill "$INK_DARK" -draw "rectangle 8,50 26,70" \
    -fill none -draw "roundrectangle 70,16 330,28 6,6" -draw "line 74,28 74,36" \
    -fill none -draw "roundrectangle 186,38 728,82 10,10" \
    -stroke "$INK_LIGHT" -strokewidth 3 -draw "line 200,44 700,44" \
    -stroke "$INK_DARK" -strokewidth 5 -fill "$INK_LIGHT" -draw "polygon 728,42 760,56 760,64 728,78" \
    -fill "$INK_DARK" -draw "circle 762,60 765,60" \
    -stroke "$PAPER" -strokewidth 3 -draw "line 40,44 170,44" \
    "$WORK/pen.png"
  wobble "$WORK/pen.png" "$WORK/pen2.png" 2 21 14
  shrink "$WORK/pen2.png" "$WORK/pen3.png" 512 128
  convert "$WORK/pen3.png" -flip "$WORK/pen3.png"
  save_png "$WORK/pen3.png" "$OUT/hud/pen.png"
}

# Icons for what lies within reach, each a 128-pixel square; torn ends drip red.
icon() {
  convert -size 128x128 xc:none \
    -draw "stroke $INK_DARK stroke-width 10 fill none stroke-linecap round stroke-linejoin round $3" \
    "$WORK/$1.png"
  wobble "$WORK/$1.png" "$WORK/${1}2.png" 3 "$2" 8
  shrink "$WORK/${1}2.png" "$WORK/${1}3.png" 64 64
  save_png "$WORK/${1}3.png" "$OUT/hud/$1.png"
}

icons() {
  local drip="stroke $INK_RED fill $INK_RED stroke-width 2"
  icon arm 31 "line 18,44 62,76 line 62,76 102,34 fill $INK_DARK circle 106,28 112,22
    $drip circle 16,44 22,44 circle 14,60 17,60 circle 18,72 20,72"
  icon leg 32 "line 60,16 52,66 line 52,66 62,108 line 62,108 96,110
    $drip circle 60,14 66,14 circle 74,22 77,22 circle 78,34 80,34"
  icon head 33 "circle 64,58 64,18
    stroke-width 6 line 44,44 54,54 line 54,44 44,54 line 74,44 84,54 line 84,44 74,54
    path 'M 46,78 Q 64,66 82,78'
    $drip circle 58,104 63,104 circle 70,114 73,114 circle 60,122 62,122"
  icon bazooka 34 "line 26,64 86,64 circle 102,64 102,50
    line 26,64 6,44 line 26,64 6,86 line 72,64 52,44 line 72,64 54,86
    stroke $INK_RED stroke-width 4 line 120,42 125,35 line 122,64 127,64 line 120,86 125,93"
}

# Arcade prompts: word pictures drawn at their on-screen proportions
# (credits and join 0.4 x 0.125 of the screen, continue 0.6 x 0.125).
prompt() {
  local name=$1 w=$2 pt=$3 text=$4 seed=$5 ow=$6; shift 6
  bubble_text "$w" 160 "$pt" "$text" "$WORK/$name.png" "$seed" "$@"
  fill_frame "$WORK/$name.png" "$WORK/${name}1.png" "$w" 120 6
  shrink "$WORK/${name}1.png" "$WORK/${name}2.png" "$ow" 64
  save_png "$WORK/${name}2.png" "$OUT/hud/$name.png"
}

prompts() {
  prompt credits 512 80 'CREDITS' 41 256 "$FONT_BOLD" "$INK_DARK" '#c9d4f6' 8
  prompt continue 768 88 'CONTINUE?' 42 512 "$FONT_BOLD" "$INK_DARK" '#c9d4f6' 8
  prompt join 512 66 'PRESS START' 43 256 "$FONT_CONDENSED_BOLD" "$INK_RED" '#f7c9c9' 8
}

font
pen
icons
prompts
