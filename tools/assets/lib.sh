# Shared palette, fonts and drawing helpers for the picture generators.
# Sourced, never run. Every helper writes into the file it is given and
# draws the same pixels on every run: random noise is always seeded.

FONT_DIR=${FONT_DIR:-/usr/share/fonts/truetype/dejavu}
FONT_BOLD=$FONT_DIR/DejaVuSans-Bold.ttf
FONT_BOLD_OBLIQUE=$FONT_DIR/DejaVuSans-BoldOblique.ttf
FONT_OBLIQUE=$FONT_DIR/DejaVuSans-Oblique.ttf
FONT_MONO_BOLD=$FONT_DIR/DejaVuSansMono-Bold.ttf
FONT_CONDENSED_BOLD=$FONT_DIR/DejaVuSansCondensed-Bold.ttf

PAPER='#f6f2e4'
PAPER_SHADE='#e9e2cc'
RULE='#9db6d6'
MARGIN='#d8474a'
INK='#1d2b8f'
INK_DARK='#141b5e'
INK_LIGHT='#4c6ad6'
INK_BLACK='#1b1b24'
INK_RED='#c42028'
PENCIL='#6b6b73'

# Files written without time stamps or other run-dependent chunks, so that
# regenerating leaves git with nothing to commit.
PNG_OPTS=(-strip -define png:exclude-chunks=date,time -define png:bit-depth=8)
JPG_OPTS=(-strip -sampling-factor 2x2 -interlace none -type TrueColor)

require_tools() {
  local t
  for t in "$@"; do
    command -v "$t" >/dev/null 2>&1 || { echo "missing tool: $t" >&2; exit 1; }
  done
  [ -f "$FONT_BOLD" ] || { echo "missing DejaVu fonts in $FONT_DIR" >&2; exit 1; }
}

# save_png IN OUT: 8-bit RGBA, the only PNG layout besides 8-bit RGB the game reads.
save_png() {
  convert "$1" -alpha on "${PNG_OPTS[@]}" "PNG32:$2"
}

# save_jpg IN OUT [QUALITY]: 8-bit RGB baseline JPEG, never greyscale.
save_jpg() {
  convert "$1" -background "$PAPER" -alpha remove -alpha off -colorspace sRGB \
    "${JPG_OPTS[@]}" -quality "${3:-86}" "JPG:$2"
}

# noise_map W H SEED BLUR OUT: a smooth two-channel displacement map
# (red moves pixels sideways, green up and down) that tiles horizontally.
noise_map() {
  convert -size "$1x$2" xc:gray50 -seed "$3" -attenuate 1 +noise Random \
    -virtual-pixel tile -blur "0x$4" \
    -channel R -auto-level -channel G -auto-level +channel "$5"
}

# wobble IN OUT AMOUNT SEED [BLUR]: bends straight strokes a little, as a hand would.
wobble() {
  local size w h map
  size=$(identify -format '%w %h' "$1")
  w=${size% *}; h=${size#* }
  map=$(mktemp --suffix=.png -p "$WORK")
  noise_map "$w" "$h" "$4" "${5:-10}" "$map"
  convert "$1" "$map" -define compose:args="$3x$3" -compose displace -composite "$2"
  rm -f "$map"
}

# hatch_tile OUT COLOUR [SPACING]: diagonal ballpoint hatching used to fill outlined shapes.
hatch_tile() {
  local s=${3:-12}
  convert -size "${s}x${s}" xc:none -stroke "$2" -strokewidth 2 \
    -draw "line 0,$s $s,0" -draw "line -$((s / 2)),$((s / 2)) $((s / 2)),-$((s / 2))" \
    -draw "line $((s / 2)),$((s + s / 2)) $((s + s / 2)),$((s / 2))" "$1"
}

# fit_pointsize W H POINTSIZE FONT TEXT PAD: the given point size, lowered until
# TEXT (with PAD pixels of outline and wobble all round) fits in W x H.
fit_pointsize() {
  local w=$1 h=$2 pt=$3 font=$4 text=$5 pad=$6 size tw th
  while [ "$pt" -gt 8 ]; do
    size=$(convert -font "$font" -pointsize "$pt" -interline-spacing $((-pt / 8)) \
      label:"$text" -format '%w %h' info:)
    tw=${size% *}; th=${size#* }
    if [ $((tw + 2 * pad)) -le "$w" ] && [ $((th + 2 * pad)) -le "$h" ]; then
      break
    fi
    pt=$((pt - 2))
  done
  echo "$pt"
}

# bubble_text W H POINTSIZE TEXT OUT [SEED] [FONT] [OUTLINE] [FILL] [STROKE] [HATCH]:
# outlined doodle letters centred on a transparent canvas, the way words get
# drawn in the margin of an exercise book. The letters are filled solid with
# FILL (so they read on any backdrop); HATCH, when given, adds ballpoint hatching
# on top, which only suits pictures that are shown near their own size.
bubble_text() {
  local w=$1 h=$2 pt=$3 text=$4 out=$5 seed=${6:-1} font=${7:-$FONT_BOLD}
  local outline=${8:-$INK_DARK} fill=${9:-'#c9d4f6'} stroke=${10:-5} hatch=${11:-}
  local tile raw hatching=()
  pt=$(fit_pointsize "$w" "$h" "$pt" "$font" "$text" $((stroke + pt / 16 + 4)))
  # A fat outline on small letters closes their holes; keep it in proportion.
  [ "$stroke" -gt $((pt / 10)) ] && stroke=$((pt / 10 > 3 ? pt / 10 : 3))
  tile=$(mktemp --suffix=.png -p "$WORK")
  raw=$(mktemp --suffix=.png -p "$WORK")
  if [ -n "$hatch" ]; then
    hatch_tile "$tile" "$hatch" $((stroke * 2 + 4))
    hatching=(-tile "$tile" -annotate +0+0 "$text" +tile)
  fi
  convert -size "${w}x${h}" xc:none -font "$font" -pointsize "$pt" -gravity center \
    -interline-spacing $((-pt / 8)) \
    -fill "$fill" -annotate +0+0 "$text" "${hatching[@]}" \
    -fill none -stroke "$outline" -strokewidth "$stroke" -annotate +0+0 "$text" \
    "$raw"
  wobble "$raw" "$out" $((pt / 16 + 2)) "$seed" 10
  rm -f "$tile" "$raw"
}

# fill_frame IN OUT W H MARGIN: crops a picture to what is drawn and centres it,
# as large as fits, on a transparent W x H canvas with MARGIN pixels to spare.
fill_frame() {
  convert "$1" -trim +repage -resize "$(($3 - 2 * $5))x$(($4 - 2 * $5))" \
    -background none -gravity center -extent "$3x$4" "$2"
}

# shrink IN OUT W H: scales a picture drawn at its on-screen proportions to the
# power-of-two size it is stored at (the game stretches it back when drawing).
shrink() {
  convert "$1" -filter Triangle -resize "${3}x${4}!" "$2"
}

# ink_text W H POINTSIZE TEXT OUT [SEED] [FONT] [COLOUR] [GRAVITY]:
# solid ballpoint writing on a transparent canvas.
ink_text() {
  local w=$1 h=$2 pt=$3 text=$4 out=$5 seed=${6:-1} font=${7:-$FONT_BOLD_OBLIQUE}
  local colour=${8:-$INK} gravity=${9:-center}
  local raw
  pt=$(fit_pointsize "$w" "$h" "$pt" "$font" "$text" $((pt / 20 + 4)))
  raw=$(mktemp --suffix=.png -p "$WORK")
  convert -size "${w}x${h}" xc:none -font "$font" -pointsize "$pt" -gravity "$gravity" \
    -interline-spacing $((-pt / 8)) -fill "$colour" -stroke "$colour" -strokewidth 1 \
    -annotate +0+0 "$text" "$raw"
  wobble "$raw" "$out" $((pt / 20 + 2)) "$seed" 9
  rm -f "$raw"
}

# paper W H OUT SEED [RULE_SPACING] [MARGIN_X] [TOP]: lined exercise-book paper
# with a red double margin line at MARGIN_X (none when 0) and the first rule at TOP.
# The grain tiles horizontally, so the sheet can repeat side by side.
paper() {
  local w=$1 h=$2 out=$3 seed=$4 spacing=${5:-40} mx=${6:-0} top=${7:-80}
  local grain draw y
  grain=$(mktemp --suffix=.png -p "$WORK")
  convert -size "${w}x${h}" xc:gray50 -seed "$seed" -attenuate 0.6 +noise Gaussian \
    -virtual-pixel tile -blur 0x1.2 -colorspace gray -auto-level \
    +level 44%,56% "$grain"
  draw=""
  for ((y = top; y < h; y += spacing)); do
    draw+="line 0,$y $w,$y "
  done
  local margin=()
  if [ "$mx" -gt 0 ]; then
    margin=(-stroke "$MARGIN" -strokewidth 3
      -draw "line $mx,0 $mx,$h line $((mx + 6)),0 $((mx + 6)),$h")
  fi
  convert -size "${w}x${h}" xc:"$PAPER" "$grain" -compose softlight -composite \
    -fill none -stroke "$RULE" -strokewidth 2 -draw "$draw" \
    "${margin[@]}" "$out"
  rm -f "$grain"
}

# stick_figure CX CY SCALE POSE COLOUR STROKE: draw primitives (MVG) for a stick figure
# whose hips are at CX,CY. POSE picks the limbs: stand, punch, kick, fall, cheer, run.
stick_figure() {
  local cx=$1 cy=$2 s=$3 pose=$4 colour=$5 sw=$6
  awk -v cx="$cx" -v cy="$cy" -v s="$s" -v pose="$pose" -v col="$colour" -v sw="$sw" '
    function P(x, y) { return sprintf("%.1f,%.1f", cx + x * s, cy + y * s) }
    function L(x1, y1, x2, y2) { printf "line %s %s\n", P(x1, y1), P(x2, y2) }
    BEGIN {
      printf "stroke %s stroke-width %s fill none stroke-linecap round stroke-linejoin round\n", col, sw
      if (pose == "fall") {
        L(0, 0, 40, -8); printf "circle %s %s\n", P(56, -12), P(56, -26)
        L(30, -6, 45, -30); L(30, -6, 48, 14); L(0, 0, -30, -10); L(0, 0, -32, 12); exit
      }
      L(0, 0, 0, -50)
      printf "circle %s %s\n", P(0, -64), P(0, -50)
      if (pose == "stand") { L(0, -40, -20, -12); L(0, -40, 20, -12); L(0, 0, -15, 40); L(0, 0, 15, 40) }
      if (pose == "punch") { L(0, -40, 40, -42); L(0, -40, -14, -26); L(-14, -26, -6, -16); L(0, 0, -18, 40); L(0, 0, 20, 38) }
      if (pose == "kick")  { L(0, -40, -24, -52); L(0, -40, 22, -56); L(0, 0, 44, -14); L(0, 0, -10, 40) }
      if (pose == "cheer") { L(0, -40, -22, -70); L(0, -40, 22, -70); L(0, 0, -16, 40); L(0, 0, 16, 40) }
      if (pose == "run")   { L(0, -40, 18, -24); L(0, -40, -18, -30); L(0, 0, 24, 30); L(0, 0, -26, 24); L(-26, 24, -30, 40) }
    }'
}
