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
  compose "$name" "$@"
}

# compose NAME LAYER...: every LAYER on top of $WORK/sheet.png, saved as the slide NAME.
compose() {
  local name=$1; shift
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
  bubble_text 660 260 120 $'Ssh... a smudge\nis growing.' "$WORK/between1w.png" 111 "$FONT_BOLD" \
    "$INK_DARK" '#dfe6fb' 8 "$INK_LIGHT"
  doodles "$WORK/between1d.png" 112 "$(
    echo "stroke none fill '#0d0d14'"
    echo "path 'M 540,470 Q 570,400 630,440 Q 690,390 710,460 Q 760,480 720,530 Q 730,580 660,560 Q 610,600 580,550 Q 510,560 540,470 Z'"
    echo "circle 500,440 500,430 circle 740,420 740,412 circle 520,580 520,574"
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

# page_slide NAME SEED PAGE LAYER...: like slide, on a lightened piece of the level page
# PAGE (images/level/PAGE.jpg, made before the slides), so each scene shows where it happens.
page_slide() {
  local name=$1 seed=$2 page=$3; shift 3
  convert "$OUT/level/$page.jpg" -resize '800x1000!' -crop 800x600+0+260 +repage \
    -fill white -colorize 45% "$WORK/sheet.png"
  compose "$name" "$@"
}

# The ink blot as the slides draw it: a huge black scribble with a paper crown and red eyes.
blot() {
  stick_figure "$1" 560 "$2" stand "$INK_BLACK" 12
  awk -v x="$1" -v s="$2" 'BEGIN {
    y = 560 - 64 * s
    printf "stroke #141b5e stroke-width 6 fill #f0c23a stroke-linejoin round\n"
    printf "polygon %d,%d %d,%d %d,%d %d,%d %d,%d %d,%d %d,%d\n", x - 60, y - 20, x - 50, y - 80, x - 25, y - 45, x, y - 90, x + 25, y - 45, x + 50, y - 80, x + 60, y - 20
    printf "stroke #c42028 line %d,%d %d,%d line %d,%d %d,%d\n", x - 34, y + 38, x - 8, y + 54, x + 34, y + 38, x + 8, y + 54
    printf "fill #c42028 circle %d,%d %d,%d circle %d,%d %d,%d\n", x - 18, y + 66, x - 12, y + 66, x + 18, y + 66, x + 24, y + 66
  }'
}

# A scribble in a paper helmet, for the history page.
helmeted() {
  stick_figure "$1" 540 "$2" "$3" "$INK_RED" 5
  awk -v x="$1" -v s="$2" 'BEGIN {
    y = 540 - 64 * s
    printf "stroke #6a3f1c stroke-width 4 fill #e2cfa4 polygon %d,%d %d,%d %d,%d\n", x - 20 * s, y - 8 * s, x, y - 40 * s, x + 20 * s, y - 8 * s
  }'
}

to_maths() {
  words 680 140 46 $'The scribbles ran off into\nthe maths homework.' tomaths1w 151
  doodles "$WORK/tomaths1d.png" 152 "$(
    stick_figure 420 540 1.2 run "$INK_RED" 6
    stick_figure 540 540 1.2 run "$INK_RED" 6
    stick_figure 660 540 1.2 run "$INK_RED" 6
    stick_figure 170 540 1.4 run "$INK" 7
    echo "stroke $PENCIL stroke-width 4 line 260,470 330,470 line 250,500 320,500 line 270,530 340,530"
  )"
  page_slide to_maths_1 153 page_maths "$WORK/tomaths1w.png@+60+30" "$WORK/tomaths1d.png@+0+0"
  bubble_text 640 240 110 $'Sums! Nobody\nlikes sums.' "$WORK/tomaths2w.png" 154 "$FONT_BOLD" \
    "$INK_DARK" '#dfe6fb' 8 "$INK_LIGHT"
  doodles "$WORK/tomaths2d.png" 155 "$(
    stick_figure 200 560 1.2 kick "$INK" 6
    stick_figure 330 560 1.2 fall "$INK_RED" 6
    echo "font '$FONT_OBLIQUE' font-size 48 fill $PENCIL stroke none text 480,470 '7 x 8 = ?'"
  )"
  page_slide to_maths_2 156 page_maths "$WORK/tomaths2w.png@+80+30" "$WORK/tomaths2d.png@+0+0"
}

to_history() {
  words 680 140 48 $'Back through time:\nthe history page.' tohistory1w 161
  doodles "$WORK/tohistory1d.png" 162 "$(
    stick_figure 200 540 1.4 run "$INK" 7
    echo "stroke $INK_DARK stroke-width 6 fill '#f6f2e4' circle 520,400 520,290"
    echo "stroke-width 8 line 520,400 520,320 line 520,400 580,430"
    echo "fill none stroke $INK_RED stroke-width 5 path 'M 380,300 Q 330,400 380,500' line 380,500 360,470 line 380,500 400,474"
  )"
  page_slide to_history_1 163 page_history "$WORK/tohistory1w.png@+60+30" "$WORK/tohistory1d.png@+0+0"
  words 700 140 44 $'Knights? No: scribbles\nin paper helmets!' tohistory2w 164 "$INK_RED"
  doodles "$WORK/tohistory2d.png" 165 "$(
    helmeted 300 1.3 stand
    helmeted 460 1.3 punch
    helmeted 620 1.3 kick
    stick_figure 130 540 1.3 stand "$INK" 6
    echo "font '$FONT_BOLD' font-size 70 fill $INK_DARK stroke none text 170,360 '!'"
  )"
  page_slide to_history_2 166 page_history "$WORK/tohistory2w.png@+50+30" "$WORK/tohistory2d.png@+0+0"
}

to_science() {
  words 680 140 46 $'Experiment 4 smells\nof burnt ink...' toscience1w 171
  doodles "$WORK/toscience1d.png" 172 "$(
    echo "stroke '#2f7a3e' stroke-width 7 fill '#bfe3c6' stroke-linejoin round"
    echo "path 'M 470,260 L 470,360 L 380,540 L 650,540 L 560,360 L 560,260 Z'"
    echo "fill '#1b1b24' path 'M 430,440 L 600,440 L 650,540 L 380,540 Z'"
    echo "fill none stroke $PENCIL stroke-width 4 circle 500,230 500,214 circle 540,190 540,178 circle 510,150 510,142"
    stick_figure 180 560 1.3 stand "$INK" 6
  )"
  page_slide to_science_1 173 page_science "$WORK/toscience1w.png@+60+30" "$WORK/toscience1d.png@+0+0"
  bubble_text 640 200 110 'Blub... blub!' "$WORK/toscience2w.png" 174 "$FONT_BOLD" \
    "$INK_BLACK" '#cfd3dc' 8 "$PENCIL"
  doodles "$WORK/toscience2d.png" 175 "$(
    echo "stroke '#2f7a3e' stroke-width 7 fill '#bfe3c6' stroke-linejoin round"
    echo "path 'M 370,300 L 370,380 L 290,560 L 530,560 L 450,380 L 450,300 Z'"
    stick_figure 410 540 0.9 cheer "$INK_BLACK" 8
    echo "stroke $INK_RED stroke-width 4 fill $INK_RED circle 402,462 405,462 circle 418,462 421,462"
  )"
  page_slide to_science_2 176 page_science "$WORK/toscience2w.png@+80+20" "$WORK/toscience2d.png@+0+0"
}

to_music() {
  words 700 160 42 $'The Smudge is rubbed out...\nbut it was only the Blot\'s\nlittle brother.' tomusic1w 181
  doodles "$WORK/tomusic1d.png" 182 "$(
    stick_figure 380 560 1.3 fall "$INK_BLACK" 8
    echo "stroke $INK_DARK stroke-width 5 fill '#f2a7b8' polygon 560,470 660,420 690,470 590,520"
    echo "fill '#8fb2e8' polygon 625,437 660,420 690,470 655,487"
    stick_figure 160 560 1.3 cheer "$INK" 6
  )"
  page_slide to_music_1 183 page_music "$WORK/tomusic1w.png@+50+20" "$WORK/tomusic1d.png@+0+0"
  bubble_text 640 200 110 'Dance in threes!' "$WORK/tomusic2w.png" 184 "$FONT_BOLD" \
    "$INK_RED" '#f7d6d6' 8 '#e0656a'
  doodles "$WORK/tomusic2d.png" 185 "$(
    stick_figure 240 560 1.2 cheer "$INK_RED" 6
    stick_figure 400 560 1.2 kick "$INK_RED" 6
    stick_figure 560 560 1.2 cheer "$INK_RED" 6
    echo "font '$FONT_BOLD' font-size 60 fill $INK_BLACK stroke none text 300,330 '1  2  3'"
  )"
  page_slide to_music_2 186 page_music "$WORK/tomusic2w.png@+80+30" "$WORK/tomusic2d.png@+0+0"
}

to_map() {
  words 700 140 44 $'A map! The Ink Blot\'s\nhideout is marked with an X.' tomap1w 191
  doodles "$WORK/tomap1d.png" 192 "$(
    echo "fill none stroke $INK_RED stroke-width 6 stroke-dasharray 14 12 path 'M 120,520 Q 300,300 460,460 Q 560,560 650,420'"
    echo "stroke-dasharray none stroke-width 12 line 620,390 680,450 line 680,390 620,450"
  )"
  page_slide to_map_1 193 page_map "$WORK/tomap1w.png@+50+30" "$WORK/tomap1d.png@+0+0"
  words 600 120 50 'Follow the dotted line.' tomap2w 194
  doodles "$WORK/tomap2d.png" 195 "$(
    echo "fill none stroke $INK_RED stroke-width 6 stroke-dasharray 14 12 line 60,560 760,560 stroke-dasharray none"
    stick_figure 300 550 1.4 run "$INK" 7
    stick_figure 560 550 1.4 run "$INK_RED" 7
  )"
  page_slide to_map_2 196 page_map "$WORK/tomap2w.png@+100+40" "$WORK/tomap2d.png@+0+0"
}

to_drawer() {
  bubble_text 600 220 150 'CRASH!' "$WORK/todrawer1w.png" 201 "$FONT_BOLD" \
    "$INK_RED" '#f7d6d6' 10 '#e0656a'
  doodles "$WORK/todrawer1d.png" 202 "$(
    echo "stroke $INK_DARK stroke-width 7 fill '#35436b' stroke-linejoin round polygon 260,380 520,330 560,520 300,570"
    echo "fill '#f6f2e4' polygon 290,400 500,360 530,510 320,550"
    echo "stroke $PENCIL stroke-width 4 line 200,320 240,360 line 600,300 570,350 line 620,560 580,540"
  )"
  page_slide to_drawer_1 203 page_drawer "$WORK/todrawer1w.png@+100+20" "$WORK/todrawer1d.png@+0+0"
  words 700 150 44 $'The book fell into the desk\ndrawer. Pencils everywhere.' todrawer2w 204 "$INK_DARK"
  doodles "$WORK/todrawer2d.png" 205 "$(
    stick_figure 200 560 1.3 stand "$INK" 6
    stick_figure 520 560 1.3 punch "$INK_RED" 6
    stick_figure 640 560 1.3 kick "$INK_RED" 6
  )"
  page_slide to_drawer_2 206 page_drawer "$WORK/todrawer2w.png@+50+30" "$WORK/todrawer2d.png@+0+0"
}

to_cover() {
  words 700 150 44 $'The inside cover.\n"Keep out, Blot!" it says.' tocover1w 211 "$INK_DARK"
  doodles "$WORK/tocover1d.png" 212 "$(stick_figure 700 380 1.3 stand "$INK" 7)"
  page_slide to_cover_1 213 page_cover "$WORK/tocover1w.png@+50+420" "$WORK/tocover1d.png@+0+0"
  bubble_text 600 220 110 $'The Ink Blot\nis home.' "$WORK/tocover2w.png" 214 "$FONT_BOLD" \
    "$INK_BLACK" '#cfd3dc' 9 "$PENCIL"
  doodles "$WORK/tocover2d.png" 215 "$(
    blot 560 3.4
    stick_figure 170 560 1.1 stand "$INK" 5
  )"
  page_slide to_cover_2 216 page_cover "$WORK/tocover2w.png@+20+20" "$WORK/tocover2d.png@+0+0"
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

# A third argument draws only the named scenes (for example: to_map); the files are
# written in any case.
if [ $# -gt 2 ]; then
  for scene in "${@:3}"; do "$scene"; done
else
  intro
  between
  to_maths
  to_history
  to_science
  to_music
  to_map
  to_drawer
  to_cover
  ending
  credits
  arcade
fi

# Holds and fades are multiples of the 20 ms tick. Transition 0 cross-fades into the
# next slide (or, after the last, into the game), 1 blanks the fade time, 2 holds
# the slide opaque through it.
cutscene intro.dat 'intro_1 3000 1000 0' 'intro_2 3000 600 2' 'intro_3 2400 1000 0'
cutscene between.dat 'between_1 2000 400 1' 'between_2 2600 1000 0'
cutscene ending.dat 'ending_1 3000 1000 0' 'ending_2 3000 1000 0' 'ending_3 4000 600 1'
cutscene credits.dat 'credits_1 3000 1000 0' 'credits_2 3000 1000 0' 'credits_3 4000 1000 0'
cutscene arcade.dat 'arcade_1 4000 1000 0' 'arcade_2 2000 400 2' 'arcade_3 2000 1000 0'
# Between the levels: two short slides each, on the page the next level happens on.
cutscene to_maths.dat 'to_maths_1 2600 800 0' 'to_maths_2 2200 600 2'
cutscene to_history.dat 'to_history_1 2400 400 1' 'to_history_2 2600 1000 0'
cutscene to_science.dat 'to_science_1 2600 800 0' 'to_science_2 2200 600 2'
cutscene to_music.dat 'to_music_1 3200 800 0' 'to_music_2 2200 600 1'
cutscene to_map.dat 'to_map_1 2800 800 0' 'to_map_2 2200 600 2'
cutscene to_drawer.dat 'to_drawer_1 1600 400 1' 'to_drawer_2 2800 1000 0'
cutscene to_cover.dat 'to_cover_1 2600 600 2' 'to_cover_2 3000 1000 0'
