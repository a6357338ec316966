#!/usr/bin/env bash
# Level pictures: the paper backdrop of wall and floor, the obstacles and the
# ink-pot health pickups. Usage: make-scenery.sh IMAGES_DIR
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib.sh"
OUT=$1
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$OUT/level"

# Backdrop: one 40 x 50 unit page, drawn at 16 pixels a unit and stored at
# 512 x 1024. The wall shows the page upright with its bottom edge on the floor
# line; the floor shows the same page lying flat, its top edge at the back, so
# the join reads as the gutter of an open exercise book. Only the lower half of
# the wall is ever in view. Seamless from left to right.
background() {
  local w=640 h=800
  paper "$w" "$h" "$WORK/sheet.png" 21 40 96 120
  # Re-rule slightly thicker so the lines survive being seen at a slant on the floor.
  local draw="" y
  for ((y = 120; y < h; y += 40)); do draw+="line -2,$y $((w + 2)),$y "; done
  convert -size "${w}x${h}" xc:none -stroke "$RULE" -strokewidth 4 -draw "$draw" \
    -blur 0x0.8 "$WORK/rules.png"
  # Pencil sums and doodles, faint, as a pupil left them on the page.
  convert -size "${w}x${h}" xc:none -font "$FONT_OBLIQUE" -fill '#a2a7b4' -pointsize 28 \
    -annotate +170+272 '7 + 5 = 12' -annotate +380+472 '3 x 4 = 12' \
    -annotate +210+632 '12 - 9 = 3' \
    -stroke '#a2a7b4' -strokewidth 3 -fill none \
    -draw "circle 520,190 520,170 line 520,160 520,150 line 544,190 554,190 line 496,190 486,190 line 520,220 520,230" \
    -stroke '#9aa6d6' -draw "polygon 560,640 568,660 590,662 574,676 580,698 560,686 540,698 546,676 530,662 552,660" \
    "$WORK/notes.png"
  wobble "$WORK/notes.png" "$WORK/notes2.png" 2 22 8
  # The gutter: paper darkens towards the top and bottom edges where the pages meet.
  convert -size "${w}x${h}" xc:white \
    \( -size "${w}x40" gradient:'#ddd3b8'-white \) -geometry +0+0 -composite \
    \( -size "${w}x40" gradient:white-'#ddd3b8' \) -geometry +0+$((h - 40)) -composite \
    "$WORK/gutter.png"
  convert "$WORK/sheet.png" "$WORK/rules.png" -composite \
    -stroke "$MARGIN" -strokewidth 4 -draw "line 96,0 96,$h line 104,0 104,$h" \
    "$WORK/notes2.png" -composite \
    "$WORK/gutter.png" -compose multiply -composite \
    "$WORK/page.png"
  convert "$WORK/page.png" -filter Triangle -resize 512x1024! "$WORK/page2.png"
  save_jpg "$WORK/page2.png" "$OUT/level/background.jpg" 85
}

# thing NAME DW DH W H SEED MVG: an obstacle or pickup drawn on a DW x DH
# transparent sheet (its on-screen proportions, at about twice its stored size),
# its lowest point on the bottom row (the floor), then stored at W x H.
thing() {
  local name=$1 dw=$2 dh=$3 w=$4 h=$5
  convert -size "${dw}x${dh}" xc:none \
    -draw "stroke $INK_DARK stroke-width 7 stroke-linecap round stroke-linejoin round $7" \
    "$WORK/$name.png"
  wobble "$WORK/$name.png" "$WORK/${name}2.png" 3 "$6" 8
  shrink "$WORK/${name}2.png" "$WORK/${name}3.png" "$w" "$h"
  save_png "$WORK/${name}3.png" "$OUT/level/$name.png"
}

# Obstacles are drawn at the proportions the levels give them: crate 4 x 4,
# barrel 3 x 4, bin 3 x 3.5, books 4 x 3 and ruler 6 x 2 units (width x height).
obstacles() {
  thing crate 256 256 128 128 31 "fill '#e2c48e' rectangle 12,20 244,252
    fill none rectangle 30,38 226,234 line 30,38 226,234 line 30,234 226,38
    stroke-width 4 line 12,96 30,96 line 226,96 244,96 line 12,176 30,176 line 226,176 244,176
    stroke '#8a6a3a' line 60,60 80,60 line 170,200 200,200"
  thing barrel 192 256 128 128 32 "fill '#c98d52' path 'M 40,16 Q 10,136 40,252 L 152,252 Q 182,136 152,16 Z'
    fill none path 'M 24,64 Q 96,80 168,64' path 'M 22,196 Q 96,212 170,196'
    ellipse 96,16 56,10 0,360
    stroke-width 4 path 'M 74,26 Q 64,136 74,244' path 'M 118,26 Q 128,136 118,244'"
  thing bin 216 252 128 128 33 "fill '#9fb3cf' polygon 20,44 196,44 172,248 44,248
    fill none stroke-width 3
    line 42,44 62,248 line 76,44 86,248 line 108,44 108,248 line 140,44 130,248 line 174,44 154,248
    line 26,94 190,94 line 32,150 184,150 line 38,204 178,204
    stroke-width 7 fill '#f6f2e4' circle 80,36 80,8 circle 130,30 130,6 circle 156,46 156,30
    stroke-width 3 path 'M 64,26 l 16,10 l 14,-8' path 'M 120,20 l 12,14 l 10,-10'
    stroke-width 7 fill none line 14,44 202,44"
  thing books 256 192 128 128 34 "fill '#d8474a' roundrectangle 12,146 244,186 8,8
    fill '#4c6ad6' roundrectangle 26,104 230,146 8,8
    fill '#5fa36b' roundrectangle 18,60 214,104 8,8
    fill '#f0c23a' roundrectangle 40,16 200,60 8,8
    fill none stroke '$PAPER' stroke-width 5 line 32,166 224,166 line 46,125 210,125 line 38,82 194,82 line 60,38 180,38"
  # A ruler laid across two erasers, like a hurdle.
  thing ruler 384 128 256 64 35 "fill '#f2a7b8' rectangle 30,74 84,124 rectangle 300,74 354,124
    fill '#8fb2e8' rectangle 30,100 84,124 rectangle 300,100 354,124
    fill '#f3e08a' rectangle 6,28 378,74
    stroke-width 3 $(awk 'BEGIN { for (i = 0; i <= 30; i++) { x = 16 + i * 12; l = (i % 5 == 0) ? 48 : 40; printf "line %d,30 %d,%d ", x, x, l } }')
    stroke none fill '$INK_DARK' font '$FONT_BOLD' font-size 14
    text 70,66 '5' text 129,66 '10' text 189,66 '15' text 249,66 '20' text 309,66 '25'"
}

# Ink pots: small, medium and large, each on a 4 x 4 unit square, standing on its bottom row.
inkpot() {
  local name=$1 s=$2 seed=$3
  # Pot outline for a pot s pixels high on a 256 canvas, centred, bottom at 250.
  awk -v s="$s" -v ink="$INK" -v dark="$INK_DARK" -v paper="$PAPER" -v font="$FONT_BOLD" '
    function X(x) { return 128 + x * s / 100 }
    function Y(y) { return 250 - y * s / 100 }
    BEGIN {
      printf "fill #dbe6f0 path %cM %.1f,%.1f L %.1f,%.1f Q %.1f,%.1f %.1f,%.1f L %.1f,%.1f L %.1f,%.1f L %.1f,%.1f Q %.1f,%.1f %.1f,%.1f Z%c\n", 39,
        X(-46), Y(0), X(-46), Y(50), X(-46), Y(66), X(-20), Y(68), X(-20), Y(78), X(20), Y(78), X(20), Y(68), X(46), Y(66), X(46), Y(50), 39
      printf "fill %s stroke none path %cM %.1f,%.1f L %.1f,%.1f Q %.1f,%.1f %.1f,%.1f L %.1f,%.1f Z%c\n", ink, 39,
        X(-42), Y(4), X(-42), Y(46), X(0), Y(52), X(42), Y(46), X(42), Y(4), 39
      printf "stroke %s fill none path %cM %.1f,%.1f L %.1f,%.1f L %.1f,%.1f L %.1f,%.1f Z%c\n", dark, 39,
        X(-46), Y(0), X(-46), Y(50), X(46), Y(50), X(46), Y(0), 39
      printf "fill %s roundrectangle %.1f,%.1f %.1f,%.1f 4,4\n", dark, X(-26), Y(98), X(26), Y(78)
      printf "fill %s stroke %s stroke-width 3 rectangle %.1f,%.1f %.1f,%.1f\n", paper, dark, X(-30), Y(40), X(30), Y(14)
      printf "stroke none fill %s font %c%s%c font-size %.1f text %.1f,%.1f %cINK%c\n", dark, 39, font, 39, s * 0.2, X(-22), Y(18), 39, 39
      printf "stroke #ffffff stroke-width 4 line %.1f,%.1f %.1f,%.1f\n", X(-34), Y(44), X(-34), Y(12)
    }' > "$WORK/$name.mvg"
  thing "$name" 256 256 128 128 "$seed" "$(cat "$WORK/$name.mvg")"
}

inkpots() {
  inkpot smallink 96 41
  inkpot medink 144 42
  inkpot largeink 196 43
}

background
obstacles
inkpots
