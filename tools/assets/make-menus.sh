#!/usr/bin/env bash
# Menu pictures: the entries (word pictures drawn on a 12 x 6 quad), the menu
# backgrounds, the page under the options and the loading screen.
# Usage: make-menus.sh IMAGES_DIR [PART...] (parts: entries, option_entries,
# mainmenu_bk, pausemenu_bk, deathmenu_bk, options_bk, loading; default all)
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib.sh"
OUT=$1
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$OUT/menu"

# entry NAME POINTSIZE TEXT SEED: a 2:1 word picture, drawn large and stored at
# 256 x 128, about the size it takes on screen.
entry() {
  bubble_text 512 256 "$2" "$3" "$WORK/$1.png" "$4" "$FONT_BOLD" "$INK_DARK" '#c9d4f6' 7
  shrink "$WORK/$1.png" "$WORK/${1}2.png" 256 128
  save_png "$WORK/${1}2.png" "$OUT/menu/$1.png"
}

entries() {
  entry mainmenu_1p 96 '1 Player' 51
  entry mainmenu_2p 88 '2 Players' 52
  entry mainmenu_credits 96 'Credits' 53
  entry mainmenu_quit 110 'Quit' 54
  entry pausemenu_resume 96 'Resume' 55
  entry pausemenu_restart 90 $'Restart\nLevel' 56
  entry pausemenu_exit 80 $'Exit to\nMain Menu' 57
  entry pausemenu_checkpoint 68 $'Retry from\nCheckpoint' 70
  option_entries
}

# The entries that lead to the options and continue a campaign.
option_entries() {
  entry mainmenu_continue 96 'Continue' 58
  entry mainmenu_options 96 'Options' 59
  entry pausemenu_options 96 'Options' 60
}

# doodles W H OUT MVG SEED: ink drawings on a transparent sheet, bent by hand.
doodles() {
  convert -size "$1x$2" xc:none -draw "$4" "$WORK/raw.png"
  wobble "$WORK/raw.png" "$3" 4 "$5" 9
}

# backdrop NAME: a full-window background. The game draws these with the file's
# top row at the bottom of the window, so they are stored upside down.
backdrop() {
  convert "$WORK/$1.png" -flip "$WORK/$1-flipped.png"
  save_jpg "$WORK/$1-flipped.png" "$OUT/menu/$1.jpg" 88
}

mainmenu_bk() {
  paper 800 600 "$WORK/sheet.png" 11 36 90 96
  bubble_text 640 300 118 $'Margin\nBrawler' "$WORK/title.png" 61 "$FONT_BOLD" \
    "$INK_DARK" '#dfe6fb' 9 "$INK_LIGHT"
  convert "$WORK/title.png" -background none -rotate -6 "$WORK/title-r.png"
  doodles 800 600 "$WORK/figs.png" "$(
    stick_figure 150 505 1.3 punch "$INK" 6
    stick_figure 236 505 1.3 fall "$INK_RED" 6
    stick_figure 360 505 1.3 kick "$INK_BLACK" 6
    stick_figure 48 260 0.8 cheer "$INK" 5
    echo "stroke $INK_RED stroke-width 3 fill none"
    echo "line 202,452 214,440 line 210,460 226,456 line 204,470 218,478"
    echo "stroke $PENCIL stroke-width 3"
    echo "circle 700,60 700,36 line 700,20 700,8 line 724,36 734,26 line 676,36 666,26 line 730,60 744,60 line 670,60 656,60"
  )" 62
  convert "$WORK/sheet.png" "$WORK/title-r.png" -geometry +95+8 -composite \
    "$WORK/figs.png" -composite "$WORK/mainmenu_bk.png"
  backdrop mainmenu_bk
}

pausemenu_bk() {
  paper 800 600 "$WORK/sheet.png" 12 36 90 96
  bubble_text 560 200 130 'Paused' "$WORK/title.png" 63 "$FONT_BOLD" \
    "$INK_DARK" '#dfe6fb' 9 "$INK_LIGHT"
  convert "$WORK/title.png" -background none -rotate -4 "$WORK/title-r.png"
  doodles 800 600 "$WORK/figs.png" "$(
    echo "stroke $INK_DARK stroke-width 10 fill none stroke-linecap round"
    echo "line 700,50 700,130 line 740,50 740,130"
    stick_figure 200 500 1.4 stand "$INK" 6
    echo "stroke $PENCIL stroke-width 3 fill none"
    echo "path 'M 240,380 q 30,-10 40,-40' circle 300,320 300,300"
    echo "font '$FONT_OBLIQUE' font-size 30 fill $PENCIL stroke none text 318,318 'z z z'"
  )" 64
  convert "$WORK/sheet.png" "$WORK/title-r.png" -geometry +100+40 -composite \
    "$WORK/figs.png" -composite "$WORK/pausemenu_bk.png"
  backdrop pausemenu_bk
}

deathmenu_bk() {
  paper 800 600 "$WORK/sheet.png" 13 36 90 96
  bubble_text 720 260 80 $'You have been\nerased' "$WORK/title.png" 65 "$FONT_BOLD" \
    "$INK_RED" '#f7d6d6' 9 '#e0656a'
  convert "$WORK/title.png" -background none -rotate -5 "$WORK/title-r.png"
  doodles 800 600 "$WORK/figs.png" "$(
    stick_figure 210 470 1.6 stand "$INK" 6
    echo "stroke $INK_DARK stroke-width 5 fill '#f2a7b8'"
    echo "polygon 300,430 400,380 430,430 330,480"
    echo "fill '#8fb2e8' polygon 365,397 400,380 430,430 395,447"
  )" 66
  # The eraser has rubbed out most of the figure: paper-coloured smear and crumbs.
  convert -size 800x600 xc:none -fill "$PAPER" -draw "ellipse 232,420 80,40 -20 340" \
    -blur 0x12 -channel A -level 0%,60% +channel "$WORK/smear.png"
  convert -size 800x600 xc:none -fill "$PENCIL" \
    -draw "circle 280,500 283,500 circle 300,515 302,515 circle 262,522 265,522 circle 318,498 320,498" \
    "$WORK/crumbs.png"
  convert "$WORK/sheet.png" "$WORK/title-r.png" -geometry +70+20 -composite \
    "$WORK/figs.png" -composite "$WORK/smear.png" -composite "$WORK/smear.png" -composite \
    "$WORK/crumbs.png" -composite "$WORK/deathmenu_bk.png"
  backdrop deathmenu_bk
}

# The page under the options and the controls: plain ruled paper whose middle and
# foot stay free for the lines the game writes on it, with a pencil and a doodled pad
# in the top corners.
options_bk() {
  paper 800 600 "$WORK/sheet.png" 15 36 90 96
  doodles 800 600 "$WORK/figs.png" "$(
    echo "stroke $PENCIL stroke-width 3 fill none stroke-linejoin round stroke-linecap round"
    echo "roundrectangle 660,18 784,78 20,20"
    echo "line 684,48 706,48 line 695,37 695,59"
    echo "circle 752,38 752,33 circle 764,50 764,45 circle 740,50 740,45 circle 752,62 752,57"
    echo "stroke $INK_DARK stroke-width 4 fill '#f0c23a'"
    echo "polygon 24,70 150,22 160,46 34,94"
    echo "fill '#efd9b0' polygon 24,70 34,94 6,88"
  )" 69
  convert "$WORK/sheet.png" "$WORK/figs.png" -composite "$WORK/options_bk.png"
  backdrop options_bk
}

loading() {
  paper 800 600 "$WORK/sheet.png" 14 36 90 96
  ink_text 600 200 96 'Loading...' "$WORK/word.png" 67 "$FONT_BOLD_OBLIQUE" "$INK"
  doodles 800 600 "$WORK/figs.png" "$(
    echo "stroke $INK_DARK stroke-width 5 fill '#f0c23a' stroke-linejoin round"
    echo "polygon 470,420 640,360 652,392 482,452"
    echo "fill '#f2a7b8' polygon 640,360 668,350 680,382 652,392"
    echo "fill '#efd9b0' polygon 470,420 482,452 440,446"
    echo "fill '#3a3a40' polygon 452,430 456,446 440,446"
    echo "stroke $PENCIL stroke-width 4 fill none"
    echo "path 'M 180,450 q 40,-40 80,0 t 80,0 t 80,0 t 60,-4'"
  )" 68
  convert "$WORK/sheet.png" "$WORK/word.png" -geometry +100+180 -composite \
    "$WORK/figs.png" -composite "$WORK/loading.png"
  backdrop loading
}

if [ $# -gt 1 ]; then
  for part in "${@:2}"; do "$part"; done
  exit 0
fi
entries
mainmenu_bk
pausemenu_bk
deathmenu_bk
options_bk
loading
