#!/usr/bin/env bash
# Cutscene slides (800 x 600 JPEG pictures) and the cutscene files that show them.
# Usage: make-slides.sh IMAGES_DIR CUTSCENES_DIR
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib.sh"
OUT=$1
CUTS=$2
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$OUT/slides" "$CUTS"

# doodles OUT SEED MVG: ink drawings on a transparent 800 x 600 sheet, bent by hand.
doodles() {
  convert -size 800x600 xc:none -draw "$3" "$WORK/raw.png"
  wobble "$WORK/raw.png" "$1" 4 "$2" 9
}

# slide NAME SEED LAYER...: paper, then every LAYER (a picture file with
# +X+Y placement) on top; saved as images/slides/NAME.jpg.
slide() {
  local name=$1 seed=$2; shift 2
  paper 800 600 "$WORK/sheet.png" "$seed" 36 90 96
  local args=() layer
  for layer in "$@"; do
    args+=("${layer%@*}" -geometry "${layer#*@}" -composite)
  done
  convert "$WORK/sheet.png" "${args[@]}" "$WORK/$name.png"
  save_jpg "$WORK/$name.png" "$OUT/slides/$name.jpg" 85
}

title() {
  bubble_text 680 300 130 $'Margin\nBrawler' "$WORK/$1.png" "$2" "$FONT_BOLD" \
    "$INK_DARK" '#dfe6fb' 9 "$INK_LIGHT"
}

words() {
  ink_text "$1" "$2" "$3" "$4" "$WORK/$5.png" "$6" "$FONT_BOLD_OBLIQUE" "${7:-$INK}"
}

intro() {
  words 660 140 44 $'Monday morning.\nA very long maths lesson...' intro1w 101
  convert -size 800x600 xc:none -font "$FONT_OBLIQUE" -fill "$PENCIL" -pointsize 34 \
    -annotate +200+352 '14 x 3 = ?' -annotate +200+424 '56 / 8 = ?' -annotate +200+496 '9 x 9 = ?' \
    "$WORK/sums.png"
  doodles "$WORK/intro1d.png" 102 "$(
    stick_figure 48 540 0.7 stand "$INK" 4
    echo "stroke $PENCIL stroke-width 3 fill none"
    echo "path 'M 520,330 q 20,-20 40,0 q 20,20 40,0 q 20,-20 40,0'"
    echo "font '$FONT_OBLIQUE' font-size 40 fill $PENCIL stroke none text 560,440 'yawn'"
  )"
  slide intro_1 103 "$WORK/intro1w.png@+110+40" "$WORK/sums.png@+0+0" "$WORK/intro1d.png@+0+0"

  words 660 140 44 $'...until the doodles in the\nmargin woke up. Angry.' intro2w 104
  doodles "$WORK/intro2d.png" 105 "$(
    stick_figure 45 300 0.75 cheer "$INK_RED" 4
    stick_figure 45 420 0.75 run "$INK_RED" 4
    stick_figure 45 540 0.75 kick "$INK_RED" 4
    stick_figure 400 500 1.8 stand "$INK" 7
    echo "font '$FONT_BOLD' font-size 90 fill $INK_DARK stroke none text 440,330 '?!'"
  )"
  slide intro_2 106 "$WORK/intro2w.png@+110+40" "$WORK/intro2d.png@+0+0"

  bubble_text 700 220 84 $'Fight your way\nalong the margin!' "$WORK/intro3w.png" 107 "$FONT_BOLD" \
    "$INK_DARK" '#dfe6fb' 8 "$INK_LIGHT"
  doodles "$WORK/intro3d.png" 108 "$(
    stick_figure 240 520 1.6 punch "$INK" 7
    stick_figure 400 520 1.6 fall "$INK_RED" 7
    stick_figure 610 520 1.6 kick "$INK_BLACK" 7
    echo "stroke $INK_RED stroke-width 4 line 318,428 334,410 line 326,444 348,438 line 320,460 340,472"
  )"
  slide intro_3 109 "$WORK/intro3w.png@+70+20" "$WORK/intro3d.png@+0+0"
}

between() {
  bubble_text 660 260 120 $'Turn the\npage...' "$WORK/between1w.png" 111 "$FONT_BOLD" \
    "$INK_DARK" '#dfe6fb' 8 "$INK_LIGHT"
  doodles "$WORK/between1d.png" 112 "$(
    echo "stroke $INK_DARK stroke-width 6 fill '$PAPER_SHADE' stroke-linejoin round"
    echo "path 'M 520,560 L 760,560 L 760,330 Q 700,420 620,440 Q 600,520 520,560 Z'"
    echo "fill none stroke-width 8 path 'M 220,420 Q 360,300 470,420' polyline 440,380 470,420 420,430"
    stick_figure 150 540 1.3 run "$INK" 6
  )"
  slide between_1 113 "$WORK/between1w.png@+110+20" "$WORK/between1d.png@+0+0"

  words 680 140 50 $'Something big has been\nscribbled ahead...' between2w 114 "$INK_RED"
  doodles "$WORK/between2d.png" 115 "$(
    stick_figure 560 560 3.4 stand "$INK_BLACK" 12
    echo "stroke $INK_DARK stroke-width 6 fill '#f0c23a' stroke-linejoin round"
    echo "polygon 500,250 510,190 535,225 560,180 585,225 610,190 620,250"
    echo "stroke $INK_RED stroke-width 6 line 526,318 552,334 line 594,318 568,334"
    echo "fill $INK_RED circle 542,346 548,346 circle 578,346 584,346"
    stick_figure 160 560 1.1 stand "$INK" 5
  )"
  slide between_2 116 "$WORK/between2w.png@+90+30" "$WORK/between2d.png@+0+0"
}

ending() {
  words 680 140 50 $'The last scribble\nhas been rubbed out.' ending1w 121
  doodles "$WORK/ending1d.png" 122 "$(
    stick_figure 170 520 1.4 fall "$INK_RED" 6
    stick_figure 460 520 1.4 fall "$INK_BLACK" 6
    echo "stroke $INK_DARK stroke-width 5 fill '#f2a7b8'"
    echo "polygon 600,440 700,390 730,440 630,490"
    echo "fill '#8fb2e8' polygon 665,407 700,390 730,440 695,457"
    echo "stroke none fill $PENCIL circle 580,520 584,520 circle 560,536 563,536 circle 600,540 602,540"
  )"
  slide ending_1 123 "$WORK/ending1w.png@+100+40" "$WORK/ending1d.png@+0+0"

  words 680 140 46 $'The margin is safe...\nuntil the next lesson.' ending2w 124
  doodles "$WORK/ending2d.png" 125 "$(
    stick_figure 300 520 1.6 cheer "$INK" 7
    stick_figure 500 520 1.6 cheer "$INK_LIGHT" 7
    echo "stroke $INK_RED stroke-width 5 fill none"
    echo "path 'M 400,345 C 340,300 370,250 400,285 C 430,250 460,300 400,345 Z'"
  )"
  slide ending_2 126 "$WORK/ending2w.png@+100+40" "$WORK/ending2d.png@+0+0"

  bubble_text 640 260 170 'The End' "$WORK/ending3w.png" 127 "$FONT_BOLD" \
    "$INK_DARK" '#dfe6fb' 10 "$INK_LIGHT"
  slide ending_3 128 "$WORK/ending3w.png@+110+170"
}

credits() {
  title credits1t 131
  doodles "$WORK/credits1d.png" 132 "$(
    stick_figure 200 540 1.2 punch "$INK" 6
    stick_figure 300 540 1.2 fall "$INK_RED" 6
    stick_figure 560 540 1.2 kick "$INK_BLACK" 6
  )"
  slide credits_1 133 "$WORK/credits1t.png@+60+60" "$WORK/credits1d.png@+0+0"

  words 640 260 64 $'Made by\nthe Margin Brawler\nteam' credits2w 134
  doodles "$WORK/credits2d.png" 135 "$(
    stick_figure 230 560 0.9 cheer "$INK" 5
    stick_figure 330 560 0.9 stand "$INK_RED" 5
    stick_figure 430 560 0.9 cheer "$INK_BLACK" 5
    stick_figure 530 560 0.9 stand "$INK_LIGHT" 5
  )"
  slide credits_2 136 "$WORK/credits2w.png@+110+110" "$WORK/credits2d.png@+0+0"

  bubble_text 680 240 100 $'Thanks for\nplaying!' "$WORK/credits3w.png" 137 "$FONT_BOLD" \
    "$INK_RED" '#f7d6d6' 9 '#e0656a'
  doodles "$WORK/credits3d.png" 138 "$(
    stick_figure 400 560 1.2 cheer "$INK" 6
  )"
  slide credits_3 139 "$WORK/credits3w.png@+80+110" "$WORK/credits3d.png@+0+0"
}

arcade() {
  title arcade1t 141
  doodles "$WORK/arcade1d.png" 142 "$(
    stick_figure 220 540 1.3 kick "$INK" 6
    stick_figure 330 540 1.3 fall "$INK_RED" 6
    stick_figure 580 540 1.3 punch "$INK_BLACK" 6
  )"
  slide arcade_1 143 "$WORK/arcade1t.png@+60+50" "$WORK/arcade1d.png@+0+0"

  bubble_text 660 200 120 'Insert coin' "$WORK/arcade2w.png" 144 "$FONT_BOLD" \
    "$INK_DARK" '#dfe6fb' 9 "$INK_LIGHT"
  doodles "$WORK/arcade2d.png" 145 "$(
    echo "stroke $INK_DARK stroke-width 8 fill '#f0c23a' circle 400,420 400,330"
    echo "fill none stroke-width 5 circle 400,420 400,350"
    echo "font '$FONT_BOLD' font-size 90 fill $INK_DARK stroke none text 372,452 '1'"
  )"
  slide arcade_2 146 "$WORK/arcade2w.png@+110+50" "$WORK/arcade2d.png@+0+0"

  bubble_text 660 200 120 'Press Start' "$WORK/arcade3w.png" 147 "$FONT_BOLD" \
    "$INK_RED" '#f7d6d6' 9 '#e0656a'
  doodles "$WORK/arcade3d.png" 148 "$(
    stick_figure 300 540 1.5 cheer "$INK" 7
    stick_figure 500 540 1.5 cheer "$INK_LIGHT" 7
  )"
  slide arcade_3 149 "$WORK/arcade3w.png@+110+70" "$WORK/arcade3d.png@+0+0"
}

# cutscene FILE FRAME...: every slide named in the FRAME lines ("name hold fade
# transition") gets a texture entry; textures are named after their pictures,
# which keeps them apart from the names in textures.dat and from other cutscenes.
cutscene() {
  local file=$1; shift
  local frame name
  {
    for frame in "$@"; do
      name=${frame%% *}
      echo "texture $name slides/$name.jpg"
    done
    for frame in "$@"; do
      echo "frame $frame"
    done
  } > "$CUTS/$file"
}

intro
between
ending
credits
arcade

# Holds and fades are multiples of the 20 ms tick. Transition 0 cross-fades into the
# next slide (or, after the last, into the game), 1 blanks the fade time, 2 holds
# the slide opaque through it.
cutscene intro.dat 'intro_1 3000 1000 0' 'intro_2 3000 600 2' 'intro_3 2400 1000 0'
cutscene between.dat 'between_1 2000 400 1' 'between_2 2600 1000 0'
cutscene ending.dat 'ending_1 3000 1000 0' 'ending_2 3000 1000 0' 'ending_3 4000 600 1'
cutscene credits.dat 'credits_1 3000 1000 0' 'credits_2 3000 1000 0' 'credits_3 4000 1000 0'
cutscene arcade.dat 'arcade_1 4000 1000 0' 'arcade_2 2000 400 2' 'arcade_3 2000 1000 0'
