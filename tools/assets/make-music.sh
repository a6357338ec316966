#!/usr/bin/env bash
# Music: short looping tracks, synthesised with sox and encoded with oggenc
# (stereo, 44.1 kHz Ogg Vorbis). Usage: make-music.sh MUSIC_DIR
#
# Every track is a list of bars; every voice is written as a string of tokens,
# one per note: NOTE:STEPS (for example E4:2, a sixteenth-note step count) or
# -:STEPS for a rest. Drum bars are 16 characters, one per step: k kick, s snare,
# h hi-hat, x kick and hi-hat, o open hat, . nothing.
#
# The game loops a track by rewinding the file, so a track must end where it
# began: every note starts and ends at silence, and the gentle room echo is
# worked out over two passes of the loop and cut from the second, so the echo of
# the last bar is already sounding under the first.
set -euo pipefail
OUT=$1
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$OUT"

SOX=(sox -R -V1)
RATE=44100
MONO=(-r "$RATE" -c 1 -b 16)

# semitones NOTE: semitones from A4 (440 Hz) for a name such as C#4, Bb2 or A3.
semitones() {
  awk -v n="$1" 'BEGIN {
    split("C D E F G A B", names, " "); split("-9 -7 -5 -4 -2 0 2", offs, " ")
    letter = substr(n, 1, 1); rest = substr(n, 2); acc = 0
    if (substr(rest, 1, 1) == "#") { acc = 1; rest = substr(rest, 2) }
    else if (substr(rest, 1, 1) == "b") { acc = -1; rest = substr(rest, 2) }
    for (i = 1; i <= 7; i++) if (names[i] == letter) base = offs[i]
    print base + acc + 12 * (rest - 4)
  }'
}

# A note of one instrument, exactly STEPS steps long, silent at both ends.
# Rendered once and reused.
note() {
  local inst=$1 name=$2 steps=$3
  local file="$WORK/n-$inst-$name-$steps.wav"
  if [ ! -f "$file" ]; then
    local n=$((steps * STEP)) len semi
    len=$(awk -v n="$n" -v r="$RATE" 'BEGIN { printf "%.5f", n / r }')
    if [ "$name" = "-" ]; then
      "${SOX[@]}" -n "${MONO[@]}" "$file" trim 0 "${n}s"
    else
      semi=$(semitones "$name")
      case "$inst" in
        bass) "${SOX[@]}" -n "${MONO[@]}" "$file" synth "${n}s" sawtooth "%$semi" \
                synth "${n}s" square mix "%$semi" lowpass 600 lowpass 900 \
                fade h 0.004 "$len" 0.03 vol 0.9 ;;
        lead) "${SOX[@]}" -n "${MONO[@]}" "$file" synth "${n}s" square "%$semi" \
                synth "${n}s" sine mix "%$((semi + 12))" lowpass 3200 \
                fade l 0.008 "$len" 0.05 vol 0.5 ;;
        bell) "${SOX[@]}" -n "${MONO[@]}" "$file" synth "${n}s" triangle "%$semi" \
                fade p 0.003 "$len" "$len" vol 0.7 ;;
        pad)  "${SOX[@]}" -n "${MONO[@]}" "$file" synth "${n}s" triangle "%$semi" \
                lowpass 1500 fade q 0.08 "$len" 0.15 vol 0.45 ;;
      esac
    fi
  fi
  echo "$file"
}

# voice INSTRUMENT OUT TOKENS...: one melodic line, note after note.
voice() {
  local inst=$1 out=$2; shift 2
  local files=() tok
  for tok in $*; do
    files+=("$(note "$inst" "${tok%:*}" "${tok#*:}")")
  done
  "${SOX[@]}" "${files[@]}" "$out"
}

# chords OUT CHORD...: a soft pad, one chord a bar, each chord three notes joined by '+'.
chords() {
  local out=$1; shift
  local files=() c i=0 parts
  for c in "$@"; do
    local bar="$WORK/chord-$c.wav"
    if [ ! -f "$bar" ]; then
      parts=()
      local n
      for n in ${c//+/ }; do parts+=("$(note pad "$n" 16)"); done
      "${SOX[@]}" -m "${parts[@]}" "$bar"
    fi
    files+=("$bar")
    i=$((i + 1))
  done
  "${SOX[@]}" "${files[@]}" "$out"
}

# One drum hit, one step long, ending in silence.
drum() {
  local kind=$1 file="$WORK/d-$1.wav"
  if [ ! -f "$file" ]; then
    local n=$STEP len
    len=$(awk -v n="$n" -v r="$RATE" 'BEGIN { printf "%.5f", n / r }')
    case "$kind" in
      k) "${SOX[@]}" -n "${MONO[@]}" "$file" synth "${n}s" sine 150:42 \
           fade p 0.002 "$len" "$len" vol 1.0 ;;
      s) "${SOX[@]}" -n "${MONO[@]}" "$WORK/sn1.wav" synth "${n}s" whitenoise \
           bandpass 1800 0.8q fade p 0.001 "$len" "$len"
         "${SOX[@]}" -n "${MONO[@]}" "$WORK/sn2.wav" synth "${n}s" sine 190:160 \
           fade p 0.001 "$len" "$len"
         "${SOX[@]}" -m "$WORK/sn1.wav" "$WORK/sn2.wav" "$file" vol 1.4 ;;
      h) "${SOX[@]}" -n "${MONO[@]}" "$file" synth "${n}s" whitenoise highpass 7000 \
           fade p 0.001 0.035 0.034 pad 0 0.5 trim 0 "${n}s" vol 0.5 ;;
      o) "${SOX[@]}" -n "${MONO[@]}" "$file" synth "${n}s" whitenoise highpass 6000 \
           fade p 0.001 "$len" "$len" vol 0.45 ;;
      x) "${SOX[@]}" -m "$(drum k)" "$(drum h)" "$file" vol 2 ;;
      .) "${SOX[@]}" -n "${MONO[@]}" "$file" trim 0 "${n}s" ;;
    esac
  fi
  echo "$file"
}

# drums OUT BAR...: each BAR a 16-character pattern.
drums() {
  local out=$1; shift
  local files=() bar i
  for bar in "$@"; do
    for ((i = 0; i < ${#bar}; i++)); do
      files+=("$(drum "${bar:i:1}")")
    done
  done
  "${SOX[@]}" "${files[@]}" "$out"
}

# repeat N WORDS...: the words N times over.
repeat() {
  local n=$1 i; shift
  for ((i = 0; i < n; i++)); do printf '%s ' "$@"; done
}

# pan IN OUT LEFT RIGHT: a mono voice placed in the stereo field.
pan() {
  "${SOX[@]}" "$1" -c 2 "$2" remix "1v$3" "1v$4"
}

# mixdown NAME: mixes $WORK/v-*.wav, adds the looped room echo, encodes NAME.ogg.
mixdown() {
  local name=$1 st=() v
  for v in "$WORK"/v-*.wav; do
    local l=${v##*-}; l=${l%.wav}
    case "$l" in
      bass) pan "$v" "$v.st.wav" 0.9 0.9 ;;
      drums) pan "$v" "$v.st.wav" 0.85 0.85 ;;
      lead) pan "$v" "$v.st.wav" 0.75 0.5 ;;
      bell) pan "$v" "$v.st.wav" 0.35 0.7 ;;
      pad) pan "$v" "$v.st.wav" 0.5 0.5 ;;
    esac
    st+=("$v.st.wav")
  done
  "${SOX[@]}" -m "${st[@]}" "$WORK/mix.wav"
  local samples
  samples=$(soxi -s "$WORK/mix.wav")
  "${SOX[@]}" "$WORK/mix.wav" "$WORK/mix.wav" "$WORK/twice.wav" reverb 30 50 60 100 8
  "${SOX[@]}" "$WORK/twice.wav" -b 16 "$WORK/loop.wav" trim "${samples}s" "${samples}s" norm -1
  oggenc -Q -q 2 --serial 1859 -o "$OUT/$name.ogg" "$WORK/loop.wav"
  rm -f "$WORK"/v-*.wav "$WORK"/mix.wav
}

# --- Punchout: the menu theme, A minor, 125 beats a minute --------------------
punchout() {
  STEP=5292
  rm -f "$WORK"/n-* "$WORK"/d-* "$WORK"/chord-*
  local am="A2:2 A3:2 A2:2 A3:2 A2:2 A3:2 G2:2 A3:2"
  local f="F2:2 F3:2 F2:2 F3:2 F2:2 F3:2 E2:2 F3:2"
  local c="C3:2 C4:2 C3:2 C4:2 C3:2 C4:2 B2:2 C4:2"
  local g="G2:2 G3:2 G2:2 G3:2 G2:2 G3:2 D3:2 G3:2"
  voice bass "$WORK/v-bass.wav" $(repeat 4 "$am" "$f" "$c" "$g")
  drums "$WORK/v-drums.wav" \
    $(repeat 3 'x.h.s.h.x.xhs.hh' 'x.h.s.h.x.xhs.hh' 'x.h.s.h.x.xhs.hh' 'x.h.s.hsx.s.ssss') \
    'x.h.s.h.x.xhs.hh' 'x.h.s.h.x.xhs.hh' 'x.h.s.h.x.xhs.hh' 'x.s.s.s.ssssssss'
  local a1="E5:2 -:1 E5:1 D5:2 C5:2 A4:4 -:2 C5:2"
  local a2="D5:2 -:1 D5:1 C5:2 A4:2 F4:4 -:4"
  local a3="G4:2 -:1 G4:1 A4:2 C5:2 E5:3 D5:1 C5:2 D5:2"
  local a4="B4:4 G4:2 A4:2 B4:6 -:2"
  local b1="A5:3 G5:1 E5:2 C5:2 D5:2 E5:2 C5:4"
  local b2="F5:3 E5:1 C5:2 A4:2 C5:2 A4:2 F4:4"
  local b3="E5:2 G5:2 E5:2 C5:2 G4:2 C5:2 E5:4"
  local b4="D5:2 B4:2 G4:2 B4:2 D5:4 G5:2 -:2"
  voice lead "$WORK/v-lead.wav" "$a1" "$a2" "$a3" "$a4" "$a1" "$a2" "$a3" "$a4" \
    "$b1" "$b2" "$b3" "$b4" "$b1" "$b2" "$b3" "$b4"
  chords "$WORK/v-pad.wav" $(repeat 4 A3+C4+E4 F3+A3+C4 G3+C4+E4 G3+B3+D4)
  voice bell "$WORK/v-bell.wav" $(repeat 4 "$(repeat 2 A5:2 E5:2 C6:2 E5:2)" \
    "$(repeat 2 A5:2 F5:2 C6:2 F5:2)" "$(repeat 2 G5:2 E5:2 C6:2 E5:2)" "$(repeat 2 G5:2 D5:2 B5:2 D5:2)")
  mixdown Punchout
}

# --- level1: E minor, 140 beats a minute, driving ------------------------------
level1() {
  STEP=4725
  rm -f "$WORK"/n-* "$WORK"/d-* "$WORK"/chord-*
  local em="E2:1 E2:1 E3:2 E2:1 E2:1 E3:2 E2:1 E2:1 E3:2 D3:2 B2:2"
  local c="C3:1 C3:1 C4:2 C3:1 C3:1 C4:2 C3:1 C3:1 C4:2 B2:2 G2:2"
  local g="G2:1 G2:1 G3:2 G2:1 G2:1 G3:2 G2:1 G2:1 G3:2 F#3:2 D3:2"
  local d="D3:1 D3:1 D4:2 D3:1 D3:1 D4:2 D3:1 D3:1 D4:2 C4:2 A3:2"
  voice bass "$WORK/v-bass.wav" $(repeat 4 "$em" "$c" "$g" "$d")
  drums "$WORK/v-drums.wav" \
    $(repeat 3 'k.h.shh.k.khs.ho' 'k.h.shh.k.khs.ho' 'k.h.shh.k.khs.ho' 'k.h.shh.k.s.ssss') \
    'k.h.shh.k.khs.ho' 'k.h.shh.k.khs.ho' 'k.h.shh.k.khs.ho' 'k.s.s.s.kkssssss'
  local a1="B4:3 B4:1 E5:2 B4:2 G4:2 A4:2 B4:4"
  local a2="C5:3 B4:1 A4:2 G4:2 E4:4 -:4"
  local a3="D5:3 D5:1 B4:2 G4:2 D5:2 E5:2 F#5:4"
  local a4="E5:2 D5:2 B4:2 A4:2 F#4:6 -:2"
  local b1="E5:2 G5:2 E5:2 B4:2 E5:2 G5:2 B5:4"
  local b2="A5:2 G5:2 E5:2 C5:2 E5:8"
  local b3="D5:2 G5:2 D5:2 B4:2 D5:2 G5:2 B5:4"
  local b4="A5:4 F#5:4 D5:4 A4:4"
  voice lead "$WORK/v-lead.wav" "$a1" "$a2" "$a3" "$a4" "$a1" "$a2" "$a3" "$a4" \
    "$b1" "$b2" "$b3" "$b4" "$a1" "$a2" "$a3" "$a4"
  chords "$WORK/v-pad.wav" $(repeat 4 E3+G3+B3 C3+E3+G3 D3+G3+B3 D3+F#3+A3)
  mixdown level1
}

# --- level2: D minor, 150 beats a minute, bouncier -----------------------------
level2() {
  STEP=4410
  rm -f "$WORK"/n-* "$WORK"/d-* "$WORK"/chord-*
  local dm="D2:2 -:1 D2:1 A2:2 D3:2 -:2 D2:2 C3:2 A2:2"
  local bb="Bb1:2 -:1 Bb1:1 F2:2 Bb2:2 -:2 Bb1:2 A2:2 F2:2"
  local c="C2:2 -:1 C2:1 G2:2 C3:2 -:2 C2:2 Bb2:2 G2:2"
  local a="A1:2 -:1 A1:1 E2:2 A2:2 -:2 A1:2 G2:2 C#3:2"
  voice bass "$WORK/v-bass.wav" $(repeat 4 "$dm" "$bb" "$c" "$a")
  drums "$WORK/v-drums.wav" \
    $(repeat 3 'x.hhs.hhx.xhs.hh' 'x.hhs.hhx.xhs.hh' 'x.hhs.hhx.xhs.hh' 'x.hhs.hhx.s.sss.') \
    'x.hhs.hhx.xhs.hh' 'x.hhs.hhx.xhs.hh' 'x.hhs.hhx.xhs.hh' 'x.s.s.s.sssss.o.'
  local a1="A4:2 D5:2 F5:2 E5:1 D5:1 E5:2 A4:2 -:4"
  local a2="Bb4:2 D5:2 F5:2 G5:1 F5:1 D5:4 -:4"
  local a3="C5:2 E5:2 G5:2 F5:1 E5:1 C5:2 G4:2 -:2 C5:2"
  local a4="C#5:2 E5:2 A5:4 G5:2 E5:2 C#5:4"
  local b1="F5:4 E5:2 D5:2 A5:4 F5:4"
  local b2="D5:4 C5:2 Bb4:2 F5:4 D5:4"
  local b3="E5:2 F5:2 G5:2 E5:2 C5:4 E5:4"
  local b4="A5:2 G5:2 F5:2 E5:2 C#5:2 D5:2 E5:4"
  voice lead "$WORK/v-lead.wav" "$a1" "$a2" "$a3" "$a4" "$b1" "$b2" "$b3" "$b4" \
    "$a1" "$a2" "$a3" "$a4" "$b1" "$b2" "$b3" "$b4"
  voice bell "$WORK/v-bell.wav" \
    $(repeat 4 "D6:2 A5:2 F5:2 A5:2 D6:2 A5:2 F5:2 A5:2" "D6:2 Bb5:2 F5:2 Bb5:2 D6:2 Bb5:2 F5:2 Bb5:2" \
      "E6:2 C6:2 G5:2 C6:2 E6:2 C6:2 G5:2 C6:2" "E6:2 C#6:2 A5:2 C#6:2 E6:2 C#6:2 A5:2 C#6:2")
  chords "$WORK/v-pad.wav" $(repeat 4 D3+F3+A3 D3+F3+Bb3 E3+G3+C4 E3+A3+C#4)
  mixdown level2
}

# --- boss: C minor, 147 beats a minute, tense and busy -------------------------
boss() {
  STEP=4500
  rm -f "$WORK"/n-* "$WORK"/d-* "$WORK"/chord-*
  local cm="C2:1 C2:1 C3:1 C2:1 C2:1 C3:1 C2:1 C2:1 Eb3:1 C2:1 C2:1 C3:1 G2:1 C2:1 Bb2:1 C3:1"
  local ab="Ab1:1 Ab1:1 Ab2:1 Ab1:1 Ab1:1 Ab2:1 Ab1:1 Ab1:1 C3:1 Ab1:1 Ab1:1 Ab2:1 Eb2:1 Ab1:1 G2:1 Ab2:1"
  local g="G1:1 G1:1 G2:1 G1:1 G1:1 G2:1 G1:1 G1:1 B2:1 G1:1 G1:1 G2:1 D2:1 G1:1 F2:1 G2:1"
  voice bass "$WORK/v-bass.wav" $(repeat 4 "$cm" "$cm" "$ab" "$g")
  drums "$WORK/v-drums.wav" \
    $(repeat 3 'xhkhshkhxhkhshkh' 'xhkhshkhxhkhshkh' 'xhkhshkhxhkhshkh' 'xhkhshkhsksksss.') \
    'xhkhshkhxhkhshkh' 'xhkhshkhxhkhshkh' 'xhkhshkhxhkhshkh' 'ssssssssx.x.x.ss'
  local a1="G4:2 Ab4:2 G4:2 F4:1 Eb4:1 D4:2 Eb4:2 C4:4"
  local a2="G4:2 Ab4:2 Bb4:2 C5:2 Bb4:2 Ab4:2 G4:4"
  local a3="Ab4:2 C5:2 Eb5:2 D5:1 C5:1 Ab4:4 F4:4"
  local a4="G4:2 B4:2 D5:2 F5:2 Eb5:2 D5:2 B4:4"
  local b1="C5:4 -:2 C5:1 C5:1 Eb5:4 D5:2 C5:2"
  local b2="G5:4 F5:2 Eb5:2 D5:4 Eb5:2 D5:2"
  local b3="C5:2 Eb5:2 Ab5:4 G5:2 F5:2 Eb5:4"
  local b4="D5:2 F5:2 B5:4 G5:4 -:4"
  voice lead "$WORK/v-lead.wav" "$a1" "$a2" "$a3" "$a4" "$b1" "$b2" "$b3" "$b4" \
    "$a1" "$a2" "$a3" "$a4" "$b1" "$b2" "$b3" "$b4"
  voice bell "$WORK/v-bell.wav" \
    $(repeat 4 "$(repeat 8 C6:1 G5:1 Eb5:1 G5:1)" "$(repeat 4 C6:1 Ab5:1 Eb5:1 Ab5:1)" \
      "$(repeat 4 B5:1 G5:1 D5:1 G5:1)")
  chords "$WORK/v-pad.wav" $(repeat 4 C3+Eb3+G3 C3+Eb3+G3 Ab2+C3+Eb3 G2+B2+D3)
  mixdown boss
}

punchout
level1
level2
boss
