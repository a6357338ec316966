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

# The pages of the later levels share the backdrop's layout: 640 x 800 drawn, stored at
# 512 x 1024, seamless from left to right, with the gutter shading at top and bottom.
# Drawings keep clear of the left and right edges so the repeat hides its seam.
PAGE_W=640
PAGE_H=800

# gutter OUT: white with the darkening where the book's pages meet, for multiplying.
gutter() {
  convert -size "${PAGE_W}x${PAGE_H}" xc:white \
    \( -size "${PAGE_W}x40" gradient:'#ddd3b8'-white \) -geometry +0+0 -composite \
    \( -size "${PAGE_W}x40" gradient:white-'#ddd3b8' \) -geometry +0+$((PAGE_H - 40)) -composite \
    "$1"
}

# ruled SPACING TOP COLOUR WIDTH: MVG for horizontal rules across the whole page.
ruled() {
  local y draw="stroke $3 stroke-width $4 fill none "
  for ((y = $2; y < PAGE_H; y += $1)); do draw+="line -2,$y $((PAGE_W + 2)),$y "; done
  echo "$draw"
}

# tinted BASE_COLOUR SEED OUT: blank paper grain in another colour.
tinted() {
  convert -size "${PAGE_W}x${PAGE_H}" xc:gray50 -seed "$2" -attenuate 0.6 +noise Gaussian \
    -virtual-pixel tile -blur 0x1.2 -colorspace gray -auto-level +level 42%,58% "$WORK/grain.png"
  convert -size "${PAGE_W}x${PAGE_H}" xc:"$1" "$WORK/grain.png" -compose softlight -composite "$3"
}

# page NAME SHEET SEED MVG: the sheet with MVG drawn on it by a wobbly hand, shaded at the
# gutter, saved as images/level/NAME.jpg.
page() {
  local name=$1 sheet=$2 seed=$3
  convert -size "${PAGE_W}x${PAGE_H}" xc:none -draw "$4" "$WORK/$name-ink.png"
  wobble "$WORK/$name-ink.png" "$WORK/$name-ink2.png" 2 "$seed" 8
  gutter "$WORK/gutter.png"
  convert "$sheet" "$WORK/$name-ink2.png" -composite \
    "$WORK/gutter.png" -compose multiply -composite \
    -filter Triangle -resize 512x1024! "$WORK/$name-page.png"
  save_jpg "$WORK/$name-page.png" "$OUT/level/$name.jpg" 85
}

# Level 2: squared maths paper, sums, a triangle and a graph.
page_maths() {
  local grid="stroke #a9bccf stroke-width 2 fill none " x y
  for ((x = 0; x < PAGE_W; x += 32)); do grid+="line $x,-2 $x,$((PAGE_H + 2)) "; done
  for ((y = 16; y < PAGE_H; y += 32)); do grid+="line -2,$y $((PAGE_W + 2)),$y "; done
  tinted '#f8f8f2' 51 "$WORK/maths-sheet.png"
  convert "$WORK/maths-sheet.png" -draw "$grid" "$WORK/maths-sheet2.png"
  page page_maths "$WORK/maths-sheet2.png" 52 "
    font '$FONT_OBLIQUE' font-size 30 fill $INK stroke none
    text 80,140 '3x + 4 = 19' text 80,188 'x = 5'
    text 380,300 '12 x 12 = 144' text 110,520 '(a + b)^2'
    fill $INK_RED text 200,188 '/'
    fill none stroke $INK stroke-width 4
    polygon 420,470 600,470 420,360
    stroke $INK_RED stroke-width 3 rectangle 420,450 440,470
    path 'M 560,470 A 40,40 0 0,0 570,452'
    stroke $PENCIL stroke-width 3
    line 120,720 330,720 line 140,740 140,580
    path 'M 150,600 Q 220,760 300,600'
    stroke $INK stroke-width 4 circle 520,640 520,580 line 520,640 572,610
    font '$FONT_OBLIQUE' font-size 26 fill $INK stroke none text 500,690 'r = 4'
    fill $PENCIL text 430,210 'pi = 3.14'
  "
}

# Level 3: a history page: a timeline, a castle, a crown and a sword in red and brown ink.
page_history() {
  local brown='#6a3f1c'
  tinted '#f1e6cb' 61 "$WORK/history-sheet.png"
  convert "$WORK/history-sheet.png" -draw "$(ruled 40 120 '#c7b08a' 3)" \
    -stroke "$MARGIN" -strokewidth 4 -draw "line 560,0 560,$PAGE_H" "$WORK/history-sheet2.png"
  page page_history "$WORK/history-sheet2.png" 62 "
    fill none stroke $brown stroke-width 5 stroke-linecap round
    line 40,420 520,420 line 500,405 520,420 line 520,420 500,435
    line 100,405 100,435 line 250,405 250,435 line 400,405 400,435
    font '$FONT_BOLD_OBLIQUE' font-size 28 fill $brown stroke none
    text 64,470 '1066' text 214,470 '1215' text 364,470 '1492'
    font '$FONT_OBLIQUE' font-size 34 fill $INK_RED text 80,180 'The Kings and Queens'
    fill none stroke $INK_RED stroke-width 3 line 76,190 470,192
    stroke $brown stroke-width 5 fill '#e2cfa4' stroke-linejoin round
    path 'M 90,760 L 90,620 L 110,620 L 110,600 L 130,600 L 130,620 L 150,620 L 150,600 L 170,600 L 170,620 L 190,620 L 190,660 L 250,660 L 250,620 L 270,620 L 270,600 L 290,600 L 290,620 L 310,620 L 310,760 Z'
    fill '#6a3f1c' path 'M 180,760 L 180,720 Q 200,690 220,720 L 220,760 Z'
    fill none line 290,600 290,560 fill '$INK_RED' polygon 290,560 330,572 290,584
    fill '#f0c23a' stroke $brown stroke-width 4
    polygon 400,300 410,240 440,280 465,230 490,280 520,240 530,300
    fill none stroke $PENCIL stroke-width 5
    line 400,560 520,680 line 420,620 460,580 line 508,668 530,690
  "
}

# Level 4: a science page: a flask over a burner, an atom and a labelled plant, in green ink.
page_science() {
  local green='#2f7a3e'
  tinted '#f4f7f2' 71 "$WORK/science-sheet.png"
  convert "$WORK/science-sheet.png" -draw "$(ruled 40 120 '#b9d3bf' 2)" "$WORK/science-sheet2.png"
  page page_science "$WORK/science-sheet2.png" 72 "
    fill '#bfe3c6' stroke $green stroke-width 5 stroke-linejoin round
    path 'M 130,520 L 130,600 L 70,720 L 250,720 L 190,600 L 190,520 Z'
    fill '#78c27f' path 'M 96,670 L 224,670 L 250,720 L 70,720 Z'
    fill none rectangle 110,740 210,760 line 160,740 160,730
    stroke $INK_RED path 'M 150,738 Q 160,722 170,738'
    stroke $green circle 130,600 132,600 circle 170,630 173,630 circle 150,580 152,580
    stroke $INK stroke-width 4 fill none
    ellipse 440,230 90,30 0,360 ellipse 440,230 30,90 0,360
    fill $INK_RED circle 440,230 452,230
    fill $INK circle 530,230 537,230 circle 440,140 447,140
    fill none stroke $green stroke-width 5
    line 460,760 460,560 path 'M 460,640 Q 400,600 380,630 Q 420,660 460,640'
    path 'M 460,600 Q 520,560 540,590 Q 500,620 460,600'
    fill '#f0c23a' circle 460,540 460,512
    stroke $PENCIL stroke-width 2 line 540,590 590,560 line 380,630 320,610 line 480,520 560,480
    font '$FONT_OBLIQUE' font-size 24 fill $PENCIL stroke none
    text 560,555 'leaf' text 240,605 'stem?' text 540,470 'flower'
    font '$FONT_BOLD_OBLIQUE' font-size 34 fill $green text 70,180 'Experiment 4:'
    font '$FONT_OBLIQUE' font-size 28 text 70,220 'heat the green stuff'
    fill $INK_RED text 70,420 'DO NOT DRINK'
  "
}

# Level 5: a music sheet: staves, clefs and notes.
page_music() {
  local staves="stroke $INK_BLACK stroke-width 2 fill none " top y
  for top in 120 300 480 660; do
    for ((y = top; y < top + 60; y += 12)); do staves+="line -2,$y $((PAGE_W + 2)),$y "; done
  done
  tinted '#f7f3e8' 81 "$WORK/music-sheet.png"
  convert "$WORK/music-sheet.png" -draw "$staves" "$WORK/music-sheet2.png"
  local notes
  notes=$(awk 'BEGIN {
    srand(83)
    split("120 300 480 660", tops, " ")
    for (s = 1; s <= 4; s++) {
      printf "stroke #1b1b24 stroke-width 4 fill none path %cM 60,%d C 30,%d 100,%d 60,%d C 40,%d 70,%d 60,%d%c ", 39,
        tops[s] + 64, tops[s] + 10, tops[s] - 10, tops[s] + 40, tops[s] + 60, tops[s] + 30, tops[s] + 20, 39
      for (i = 0; i < 8; i++) {
        x = 130 + i * 60; y = tops[s] + 6 * int(rand() * 9)
        printf "fill #1b1b24 ellipse %d,%d 9,6 0,360 line %d,%d %d,%d ", x, y, x + 8, y, x + 8, y - 40
        if (i % 2 == 0) printf "line %d,%d %d,%d ", x + 8, y - 40, x + 68, tops[s] + 6 * int(rand() * 9) - 40
      }
      printf "stroke-width 3 line 610,%d 610,%d ", tops[s], tops[s] + 48
    }
  }')
  page page_music "$WORK/music-sheet2.png" 82 "$notes
    font '$FONT_BOLD_OBLIQUE' font-size 30 fill $INK_RED stroke none text 380,100 'Allegro!'
    font '$FONT_OBLIQUE' font-size 26 fill $PENCIL text 160,440 'la la laaa' text 330,800 ''
  "
}

# Level 6: a map: a sea, a river, hills, a dotted trail to an X and a compass.
page_map() {
  tinted '#eedcae' 91 "$WORK/map-sheet.png"
  local grid="stroke #cdb27a stroke-width 1 fill none " x y
  for ((x = 0; x < PAGE_W; x += 80)); do grid+="line $x,-2 $x,$((PAGE_H + 2)) "; done
  for ((y = 40; y < PAGE_H; y += 80)); do grid+="line -2,$y $((PAGE_W + 2)),$y "; done
  convert "$WORK/map-sheet.png" -draw "$grid" "$WORK/map-sheet2.png"
  page page_map "$WORK/map-sheet2.png" 92 "
    fill '#9cc3d8' stroke '#2d5d86' stroke-width 5 stroke-linejoin round
    path 'M 60,100 Q 180,200 140,280 Q 100,360 180,420 Q 260,470 230,560 Q 200,660 300,720 Q 360,760 340,810 L 30,810 Q 60,600 20,400 Q 0,250 60,100 Z'
    fill none stroke '#2d5d86' stroke-width 3
    path 'M 30,200 q 10,-8 20,0 q 10,8 20,0' path 'M 50,520 q 10,-8 20,0 q 10,8 20,0'
    path 'M 80,680 q 10,-8 20,0 q 10,8 20,0'
    stroke-width 4 path 'M 225,500 Q 330,470 360,380 Q 390,300 470,260 Q 540,230 560,140'
    stroke '#6a4a2a' stroke-width 4 fill '#d8c08a'
    polygon 400,560 440,490 480,560 polygon 460,560 500,470 540,560 polygon 520,660 550,610 580,660
    fill '#6a9a4a' circle 300,240 300,222 circle 330,260 330,244 circle 280,280 280,264
    fill none stroke $INK_RED stroke-width 4 stroke-dasharray 10 10
    path 'M 200,140 Q 300,180 320,330 Q 340,460 440,620 Q 480,700 560,720'
    stroke-dasharray none stroke-width 6 line 545,705 575,735 line 575,705 545,735
    stroke '#6a4a2a' stroke-width 3 circle 540,340 540,300 line 540,280 540,400 line 480,340 600,340
    font '$FONT_BOLD' font-size 26 fill '#6a4a2a' stroke none text 532,276 'N'
    font '$FONT_BOLD_OBLIQUE' font-size 30 text 330,110 'Treasure Isle'
  "
}

# Level 7: the desk drawer: wood grain with pencils, an eraser, clips and a coin.
page_drawer() {
  convert -size "${PAGE_W}x${PAGE_H}" xc:gray50 -seed 101 -attenuate 1 +noise Random \
    -virtual-pixel tile -blur 60x2 -resize 100%x100% -colorspace gray -auto-level +level 30%,70% \
    "$WORK/grain.png"
  convert -size "${PAGE_W}x${PAGE_H}" xc:'#a8733f' "$WORK/grain.png" -compose softlight -composite \
    -draw "$(ruled 160 100 '#7a4a22' 3)" "$WORK/drawer-sheet.png"
  page page_drawer "$WORK/drawer-sheet.png" 102 "
    stroke '#3a2a1a' stroke-width 4 stroke-linejoin round
    fill '#f0c23a' polygon 60,200 380,170 384,196 64,226
    fill '#f2c9a0' polygon 380,170 430,178 384,196
    fill '#1b1b24' polygon 420,176 430,178 422,186
    fill '#f2a7b8' polygon 40,226 64,226 60,200 36,200
    fill '#4c6ad6' polygon 200,470 560,440 563,466 203,496
    fill '#f2c9a0' polygon 560,440 610,450 563,466
    fill '#f2a7b8' roundrectangle 90,560 230,620 12,12
    fill '#8fb2e8' roundrectangle 90,600 230,620 6,6
    fill none stroke '#c0c4cc' stroke-width 5
    path 'M 340,640 L 440,640 Q 460,640 460,660 Q 460,680 440,680 L 350,680 Q 336,680 336,666 Q 336,654 350,654 L 430,654'
    path 'M 480,280 L 560,300 Q 578,306 572,322 Q 566,338 548,332 L 474,314 Q 462,310 466,298 Q 470,288 482,292 L 548,308'
    fill '#d9b650' stroke '#8a6a2a' stroke-width 4 circle 560,720 560,680
    font '$FONT_BOLD' font-size 26 fill '#8a6a2a' stroke none text 545,730 '10'
  "
}

# Level 8: the inside of the cover: pale blue board (the players' dark ink must show on
# it), the owner's label and the ink blot's stains.
page_cover() {
  tinted '#9fb0d2' 111 "$WORK/cover-sheet.png"
  convert "$WORK/cover-sheet.png" -seed 112 -attenuate 0.4 +noise Uniform "$WORK/cover-sheet2.png"
  page page_cover "$WORK/cover-sheet2.png" 113 "
    fill '$PAPER' stroke '#141b3e' stroke-width 5 roundrectangle 140,220 500,440 18,18
    fill none stroke '$RULE' stroke-width 3 line 170,330 470,330 line 170,400 470,400
    font '$FONT_BOLD' font-size 25 fill '#141b3e' stroke none text 168,280 'This book belongs to:'
    font '$FONT_BOLD_OBLIQUE' font-size 34 fill $INK text 190,322 'Sam' fill $PENCIL text 190,392 'Class 4B'
    fill '#0d0d14' stroke none
    path 'M 100,620 Q 130,560 190,590 Q 240,540 270,600 Q 330,610 290,660 Q 320,720 250,710 Q 200,760 160,700 Q 90,710 110,660 Q 70,640 100,620 Z'
    circle 310,560 310,548 circle 80,560 80,552 circle 330,700 330,692 circle 200,520 200,514
    path 'M 440,700 Q 470,660 510,690 Q 550,670 540,720 Q 560,760 510,750 Q 470,770 460,740 Q 420,730 440,700 Z'
    circle 580,660 580,650 circle 420,640 420,634
    fill none stroke '$INK_DARK' stroke-width 3
    path 'M 480,120 l 20,-40 l 20,40 l -45,-25 l 50,0 z'
    font '$FONT_BOLD_OBLIQUE' font-size 26 fill '$INK_RED' stroke none text 90,130 'KEEP OUT, BLOT!'
  "
}

pages() {
  page_maths
  page_history
  page_science
  page_music
  page_map
  page_drawer
  page_cover
}

# A second argument makes only the named parts (for example: pages, page_map).
if [ $# -gt 1 ]; then
  for part in "${@:2}"; do "$part"; done
  exit 0
fi
background
obstacles
inkpots
pages
