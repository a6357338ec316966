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
        horn) "${SOX[@]}" -n "${MONO[@]}" "$file" synth "${n}s" sawtooth "%$semi" \
                synth "${n}s" sawtooth mix "%$((semi + 7))" lowpass 1400 lowpass 2200 \
                fade q 0.03 "$len" 0.06 vol 0.55 ;;
        pluck) "${SOX[@]}" -n "${MONO[@]}" "$file" synth "${n}s" pluck "%$semi" \
                fade p 0.002 "$len" "$len" vol 0.8 ;;
        organ) "${SOX[@]}" -n "${MONO[@]}" "$file" synth "${n}s" sine "%$semi" \
                synth "${n}s" sine mix "%$((semi + 12))" synth "${n}s" sine mix "%$((semi + 19))" \
                fade q 0.01 "$len" 0.04 vol 0.5 ;;
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

# chords OUT CHORD...: a soft pad, one chord a bar (BAR steps, 16 unless set), each
# chord three notes joined by '+'.
chords() {
  local out=$1; shift
  local files=() c i=0 parts
  for c in "$@"; do
    local bar="$WORK/chord-$c.wav"
    if [ ! -f "$bar" ]; then
      parts=()
      local n
      for n in ${c//+/ }; do parts+=("$(note pad "$n" "${BAR:-16}")"); done
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

# drums OUT BAR...: each BAR a pattern of one character a step (16 in 4/4).
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

# Integrated loudness every track is brought to (EBU R128).
TARGET_LUFS=-16

# loudness FILE: integrated loudness (LUFS) and true peak (dBFS) from ffmpeg's EBU R128 meter.
loudness() {
  ffmpeg -nostats -hide_banner -i "$1" -filter_complex ebur128=peak=true:framelog=verbose -f null - 2>&1 |
    awk '/Summary:/ { s = 1 } s && $1 == "I:" { i = $2 } s && $1 == "Peak:" { p = $2 } END { print i, p }'
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
      horn) pan "$v" "$v.st.wav" 0.6 0.75 ;;
      pluck) pan "$v" "$v.st.wav" 0.75 0.4 ;;
      organ) pan "$v" "$v.st.wav" 0.55 0.55 ;;
    esac
    st+=("$v.st.wav")
  done
  "${SOX[@]}" -m "${st[@]}" "$WORK/mix.wav"
  local samples
  samples=$(soxi -s "$WORK/mix.wav")
  # The high-pass keeps the mix free of DC offset; it settles during the first pass.
  "${SOX[@]}" "$WORK/mix.wav" "$WORK/mix.wav" "$WORK/twice.wav" highpass 20 reverb 30 50 60 100 8
  "${SOX[@]}" "$WORK/twice.wav" -b 16 "$WORK/loop.wav" trim "${samples}s" "${samples}s" norm -3
  # Every track plays at the same loudness, so a level change never jumps in volume.
  local level peak gain
  read -r level peak < <(loudness "$WORK/loop.wav")
  gain=$(awk -v l="$level" -v t="$TARGET_LUFS" 'BEGIN { printf "%.2f", t - l }')
  # Five milliseconds of fade at each end meet at silence where the game rewinds, so
  # what the lossy encoder changes at the edges of the stream cannot step.
  "${SOX[@]}" "$WORK/loop.wav" "$WORK/level.wav" vol "${gain}dB" fade q 0.005 -0 0.005
  read -r level peak < <(loudness "$WORK/level.wav")
  awk -v p="$peak" 'BEGIN { exit !(p < -1.5) }' ||
    { echo "$name: true peak $peak dBFS at $level LUFS is too hot" >&2; exit 1; }
  oggenc -Q -q 2 --serial 1859 -o "$OUT/$name.ogg" "$WORK/level.wav"
  echo "$name: $(soxi -D "$WORK/level.wav") s, $level LUFS, true peak $peak dBFS" >&2
  rm -f "$WORK"/v-*.wav "$WORK"/mix.wav
}

# tempo SAMPLES: starts a track whose sixteenth-note step lasts SAMPLES samples; notes,
# drums and chords rendered for the previous track are dropped.
tempo() {
  STEP=$1
  rm -f "$WORK"/n-* "$WORK"/d-* "$WORK"/chord-*
}

# --- Punchout: the menu theme, A minor, 125 beats a minute --------------------
punchout() {
  tempo 5292
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

# rests N: N bars of silence for a voice that sits a section out.
rests() {
  repeat "$1" "-:${BAR:-16}"
}

# --- level1: the margin. E minor, 140 beats a minute, driving ------------------
# Intro, verse, chorus, a half-time breakdown with bells, verse again: 36 bars, 62 s.
level1() {
  tempo 4725
  local em="E2:1 E2:1 E3:2 E2:1 E2:1 E3:2 E2:1 E2:1 E3:2 D3:2 B2:2"
  local c="C3:1 C3:1 C4:2 C3:1 C3:1 C4:2 C3:1 C3:1 C4:2 B2:2 G2:2"
  local g="G2:1 G2:1 G3:2 G2:1 G2:1 G3:2 G2:1 G2:1 G3:2 F#3:2 D3:2"
  local d="D3:1 D3:1 D4:2 D3:1 D3:1 D4:2 D3:1 D3:1 D4:2 C4:2 A3:2"
  voice bass "$WORK/v-bass.wav" $(repeat 5 "$em" "$c" "$g" "$d") \
    $(repeat 2 E2:16 C3:16 G2:16 D3:16) $(repeat 2 "$em" "$c" "$g" "$d")
  local verse
  verse=$(repeat 3 'k.h.shh.k.khs.ho' 'k.h.shh.k.khs.ho' 'k.h.shh.k.khs.ho' 'k.h.shh.k.s.ssss')
  drums "$WORK/v-drums.wav" 'k.h.k.h.k.h.k.h.' 'k.h.k.h.k.h.k.h.' 'k.h.k.h.k.h.k.h.' 'k.h.k.h.s.s.ssss' \
    $verse 'k.h.shh.k.khs.ho' 'k.h.shh.k.khs.ho' 'k.h.shh.k.khs.ho' 'k.s.s.s.kkssssss' \
    $(repeat 7 'k...h...s...h...') 'k...s...s.s.ssss' \
    $(repeat 2 'k.h.shh.k.khs.ho' 'k.h.shh.k.khs.ho' 'k.h.shh.k.khs.ho' 'k.h.shh.k.s.ssss')
  local a1="B4:3 B4:1 E5:2 B4:2 G4:2 A4:2 B4:4"
  local a2="C5:3 B4:1 A4:2 G4:2 E4:4 -:4"
  local a3="D5:3 D5:1 B4:2 G4:2 D5:2 E5:2 F#5:4"
  local a4="E5:2 D5:2 B4:2 A4:2 F#4:6 -:2"
  local b1="E5:2 G5:2 E5:2 B4:2 E5:2 G5:2 B5:4"
  local b2="A5:2 G5:2 E5:2 C5:2 E5:8"
  local b3="D5:2 G5:2 D5:2 B4:2 D5:2 G5:2 B5:4"
  local b4="A5:4 F#5:4 D5:4 A4:4"
  local c1="G5:4 F#5:4 E5:4 B4:4" c2="C5:6 D5:2 E5:8" c3="D5:4 E5:4 G5:4 B5:4" c4="A5:8 F#5:8"
  voice lead "$WORK/v-lead.wav" $(rests 4) "$a1" "$a2" "$a3" "$a4" "$a1" "$a2" "$a3" "$a4" \
    "$b1" "$b2" "$b3" "$b4" "$a1" "$a2" "$a3" "$a4" $(repeat 2 "$c1" "$c2" "$c3" "$c4") \
    "$a1" "$a2" "$a3" "$a4" "$b1" "$b2" "$b3" "$b4"
  chords "$WORK/v-pad.wav" $(repeat 9 E3+G3+B3 C3+E3+G3 D3+G3+B3 D3+F#3+A3)
  voice bell "$WORK/v-bell.wav" $(rests 20) \
    $(repeat 2 "$(repeat 4 E6:2 B5:2)" "$(repeat 4 E6:2 C6:2)" "$(repeat 4 D6:2 B5:2)" "$(repeat 4 D6:2 A5:2)") \
    $(rests 8)
  mixdown level1
}

# --- level2: the squared maths page. D minor, 150 beats a minute, bouncy --------
# Two rounds of verse and chorus around a bridge in G minor: 40 bars, 64 s.
level2() {
  tempo 4410
  local dm="D2:2 -:1 D2:1 A2:2 D3:2 -:2 D2:2 C3:2 A2:2"
  local bb="Bb1:2 -:1 Bb1:1 F2:2 Bb2:2 -:2 Bb1:2 A2:2 F2:2"
  local c="C2:2 -:1 C2:1 G2:2 C3:2 -:2 C2:2 Bb2:2 G2:2"
  local a="A1:2 -:1 A1:1 E2:2 A2:2 -:2 A1:2 G2:2 C#3:2"
  local gm="G1:2 -:1 G1:1 D2:2 G2:2 -:2 G1:2 F2:2 D2:2"
  local f="F1:2 -:1 F1:1 C2:2 F2:2 -:2 F1:2 E2:2 C2:2"
  voice bass "$WORK/v-bass.wav" $(repeat 4 "$dm" "$bb" "$c" "$a") $(repeat 2 "$gm" "$c" "$f" "$a") \
    $(repeat 4 "$dm" "$bb" "$c" "$a")
  local round
  round=$(repeat 3 'x.hhs.hhx.xhs.hh' 'x.hhs.hhx.xhs.hh' 'x.hhs.hhx.xhs.hh' 'x.hhs.hhx.s.sss.')
  drums "$WORK/v-drums.wav" $round \
    'x.hhs.hhx.xhs.hh' 'x.hhs.hhx.xhs.hh' 'x.hhs.hhx.xhs.hh' 'x.s.s.s.sssss.o.' \
    $(repeat 3 'x...s...x.x.s...' 'x...s...x.x.s.o.') 'x...s...x.x.s...' 'x.s.s.s.ssssssss' \
    $round 'x.hhs.hhx.xhs.hh' 'x.hhs.hhx.xhs.hh' 'x.hhs.hhx.xhs.hh' 'x.s.s.s.sssss.o.'
  local a1="A4:2 D5:2 F5:2 E5:1 D5:1 E5:2 A4:2 -:4"
  local a2="Bb4:2 D5:2 F5:2 G5:1 F5:1 D5:4 -:4"
  local a3="C5:2 E5:2 G5:2 F5:1 E5:1 C5:2 G4:2 -:2 C5:2"
  local a4="C#5:2 E5:2 A5:4 G5:2 E5:2 C#5:4"
  local b1="F5:4 E5:2 D5:2 A5:4 F5:4"
  local b2="D5:4 C5:2 Bb4:2 F5:4 D5:4"
  local b3="E5:2 F5:2 G5:2 E5:2 C5:4 E5:4"
  local b4="A5:2 G5:2 F5:2 E5:2 C#5:2 D5:2 E5:4"
  local c1="G5:4 F5:2 D5:2 Bb4:4 D5:4" c2="E5:4 C5:4 G4:8" c3="A5:4 F5:4 C5:4 A4:4" c4="E5:6 C#5:2 A4:8"
  local rounds="$a1 $a2 $a3 $a4 $b1 $b2 $b3 $b4 $a1 $a2 $a3 $a4 $b1 $b2 $b3 $b4"
  voice lead "$WORK/v-lead.wav" $rounds $(repeat 2 "$c1" "$c2" "$c3" "$c4") $rounds
  local bells
  bells=$(repeat 4 "D6:2 A5:2 F5:2 A5:2 D6:2 A5:2 F5:2 A5:2" "D6:2 Bb5:2 F5:2 Bb5:2 D6:2 Bb5:2 F5:2 Bb5:2" \
    "E6:2 C6:2 G5:2 C6:2 E6:2 C6:2 G5:2 C6:2" "E6:2 C#6:2 A5:2 C#6:2 E6:2 C#6:2 A5:2 C#6:2")
  voice bell "$WORK/v-bell.wav" $bells $(rests 8) $bells
  chords "$WORK/v-pad.wav" $(repeat 4 D3+F3+A3 D3+F3+Bb3 E3+G3+C4 E3+A3+C#4) \
    $(repeat 2 G3+Bb3+D4 E3+G3+C4 F3+A3+C4 E3+A3+C#4) $(repeat 4 D3+F3+A3 D3+F3+Bb3 E3+G3+C4 E3+A3+C#4)
  mixdown level2
}

# --- history: the history page. G minor march, 112 beats a minute, horns -------
# Drum call, march, trio in E flat, march again, a closing turn: 30 bars, 64 s.
history() {
  tempo 5906
  local gm="G2:4 D2:4 G2:4 D2:4" cm="C3:4 G2:4 C3:4 G2:4" d="D2:4 A2:4 D2:4 F#2:4"
  local eb="Eb2:4 Bb2:4 Eb2:4 Bb2:4" bb="Bb1:4 F2:4 Bb2:4 F2:4" f="F2:4 C3:4 F2:4 A2:4"
  local march="$gm $cm $d $gm $gm $cm $d $gm" trio="$eb $bb $f $d $eb $bb $f $d"
  voice bass "$WORK/v-bass.wav" $(rests 2) $march $trio $march "$cm" "$d" "$gm" "$d"
  local beat="k...s.s.k...s.ss" turn="k...s.s.k.s.ssss"
  drums "$WORK/v-drums.wav" 'ssssssssk...s...' 'ssssssssk.s.ssss' \
    $(repeat 2 "$beat" "$beat" "$beat" "$turn") $(repeat 2 'k.h.s.h.k.h.s.h.' 'k.h.s.h.k.h.s.h.' 'k.h.s.h.k.h.s.h.' "$turn") \
    $(repeat 2 "$beat" "$beat" "$beat" "$turn") "$beat" "$beat" "$beat" 'ssssssssk.k.k...'
  local m1="G4:4 Bb4:2 A4:2 G4:4 D4:4" m2="Eb4:4 G4:2 C5:2 Bb4:4 A4:4" m3="D5:4 C5:2 Bb4:2 A4:4 F#4:4" m4="G4:12 -:4"
  local n1="D5:4 Bb4:2 C5:2 D5:4 G4:4" n2="C5:4 Eb5:2 D5:2 C5:4 G4:4" n3="A4:4 Bb4:2 C5:2 D5:4 F#4:4"
  local t1="Eb5:4 D5:2 C5:2 Bb4:8" t2="D5:4 C5:2 Bb4:2 F4:8" t3="F5:4 Eb5:2 D5:2 C5:4 A4:4" t4="D5:4 C5:4 A4:4 F#4:4"
  local t5="G5:4 F5:2 Eb5:2 D5:8" t6="F5:4 D5:2 Bb4:2 F4:8" t7="A5:4 G5:2 F5:2 C5:4 A4:4" t8="F#5:8 D5:8"
  local theme="$m1 $m2 $m3 $m4 $n1 $n2 $n3 $m4"
  voice horn "$WORK/v-horn.wav" $(rests 2) $theme "$t1" "$t2" "$t3" "$t4" "$t5" "$t6" "$t7" "$t8" $theme \
    "$m2" "$m3" "$m4" "D4:16"
  voice pluck "$WORK/v-pluck.wav" $(rests 10) \
    $(repeat 2 "$(repeat 4 Bb4:2 Eb5:2)" "$(repeat 4 Bb4:2 D5:2)" "$(repeat 4 A4:2 C5:2)" "$(repeat 4 A4:2 D5:2)") \
    $(rests 12)
  chords "$WORK/v-pad.wav" G3+Bb3+D4 D3+F#3+A3 \
    $(repeat 2 G3+Bb3+D4 G3+C4+Eb4 F#3+A3+D4 G3+Bb3+D4) $(repeat 2 G3+Bb3+Eb4 F3+Bb3+D4 F3+A3+C4 F#3+A3+D4) \
    $(repeat 2 G3+Bb3+D4 G3+C4+Eb4 F#3+A3+D4 G3+Bb3+D4) G3+C4+Eb4 F#3+A3+D4 G3+Bb3+D4 F#3+A3+D4
  mixdown history
}

# --- science: the science page. F lydian, 132 beats a minute, bubbling bells ----
# Intro of bells, theme, a bouncing middle, theme, a dreamy coda: 34 bars, 62 s.
science() {
  tempo 5011
  local f="F2:3 F2:1 -:2 C3:2 F2:2 -:2 E3:2 C3:2" g="G2:3 G2:1 -:2 D3:2 G2:2 -:2 F#3:2 D3:2"
  local am="A2:3 A2:1 -:2 E3:2 A2:2 -:2 G3:2 E3:2" c="C3:3 C3:1 -:2 G3:2 C3:2 -:2 B3:2 G3:2"
  voice bass "$WORK/v-bass.wav" $(rests 2) $(repeat 4 "$f" "$g" "$am" "$c") $(repeat 2 "$f" "$g" "$am" "$c") \
    $(repeat 2 F2:16 G2:16 A2:16 C3:16)
  local groove="k..hs.h.k.khs..h" fill="k..hs.h.k.s.s.ss" bounce="k.k.s..hk.k.s.hh"
  drums "$WORK/v-drums.wav" '................' '........s.s.ssss' \
    $(repeat 2 "$groove" "$groove" "$groove" "$fill") $(repeat 2 "$bounce" "$bounce" "$bounce" "$fill") \
    $(repeat 2 "$groove" "$groove" "$groove" "$fill") \
    $(repeat 2 'k.......h.......' 'k.......h.......' 'k.......h.......' 'k.......s.s.ssss')
  local arps
  arps="$(repeat 2 F5:2 A5:2 C6:2 E6:2) $(repeat 2 G5:2 B5:2 D6:2 F#6:2) $(repeat 2 A5:2 C6:2 E6:2 A5:2) $(repeat 2 G5:2 C6:2 E6:2 G5:2)"
  voice bell "$WORK/v-bell.wav" "$(repeat 2 F5:2 A5:2 C6:2 E6:2)" "$(repeat 2 G5:2 B5:2 D6:2 F#6:2)" \
    $arps $(rests 4) $(rests 8) $arps $(rests 4) $arps $arps
  local s1="C5:2 E5:2 G5:4 F#5:2 E5:2 D5:4" s2="B4:4 D5:4 F#5:8" s3="E5:2 C5:2 A4:4 C5:2 E5:2 A5:4" s4="G5:6 E5:2 C5:8"
  local r1="A5:1 -:1 A5:1 -:1 G5:2 F#5:2 E5:4 -:4" r2="D5:1 -:1 D5:1 -:1 E5:2 F#5:2 G5:4 -:4"
  local r3="C6:2 B5:2 A5:2 G5:2 E5:4 C5:4" r4="D5:4 E5:4 G5:8"
  voice organ "$WORK/v-organ.wav" $(rests 2) $(repeat 2 "$s1" "$s2" "$s3" "$s4") $(repeat 2 "$r1" "$r2" "$r3" "$r4") \
    $(repeat 2 "$s1" "$s2" "$s3" "$s4") $(rests 8)
  chords "$WORK/v-pad.wav" F3+A3+C4 G3+B3+D4 $(repeat 8 F3+A3+E4 G3+B3+D4 A3+C4+E4 G3+C4+E4)
  mixdown science
}

# --- map: the map page. D major, 120 beats a minute, an adventure --------------
# Call of the horns, theme, a climbing middle twice, theme and its last line: 32 bars, 64 s.
map() {
  tempo 5513
  local d="D2:2 D2:2 A2:2 D2:2 D3:2 D2:2 A2:2 F#2:2" a="A1:2 A1:2 E2:2 A1:2 A2:2 A1:2 E2:2 C#2:2"
  local bm="B1:2 B1:2 F#2:2 B1:2 B2:2 B1:2 F#2:2 D2:2" g="G1:2 G1:2 D2:2 G1:2 G2:2 G1:2 D2:2 B1:2"
  local em="E2:2 E2:2 B2:2 E2:2 E3:2 E2:2 B2:2 G2:2"
  voice bass "$WORK/v-bass.wav" "$d" "$a" "$g" "$a" $(repeat 3 "$d" "$a" "$bm" "$g" "$g" "$d" "$a" "$a") "$d" "$a" "$bm" "$d"
  local gallop="k.hkk.hks.hkk.hk" fill="k.hkk.hks.s.ssss"
  drums "$WORK/v-drums.wav" 'k...k...k...s.ss' 'k...k...k...s.ss' 'k...k...k...s.ss' 'k.k.k.k.s.s.ssss' \
    $(repeat 3 "$gallop" "$gallop" "$gallop" "$fill" "$gallop" "$gallop" "$gallop" "$fill") \
    "$gallop" "$gallop" "$gallop" 'k.k.k.k.s.s.ssss'
  local h1="F#5:4 E5:2 D5:2 A4:4 D5:4" h2="E5:4 C#5:4 A4:8" h3="D5:4 F#5:4 B5:4 A5:4" h4="G5:4 F#5:2 E5:2 D5:8"
  local h5="B5:6 A5:2 G5:4 F#5:4" h6="A5:6 F#5:2 D5:8" h7="E5:4 F#5:4 G5:4 E5:4" h8="A5:12 -:4"
  local u1="D5:2 E5:2 F#5:2 A5:2 B5:4 A5:4" u2="G5:2 F#5:2 E5:2 D5:2 E5:8" u3="F#5:2 G5:2 A5:2 B5:2 C#6:4 B5:4" u4="A5:16"
  voice horn "$WORK/v-horn.wav" "D4:8 A4:8" "E4:8 A4:8" "G4:8 B4:8" "A4:16" \
    "$h1" "$h2" "$h3" "$h4" "$h5" "$h6" "$h7" "$h8" "$u1" "$u2" "$u3" "$u4" "$u1" "$u2" "$u3" "$u4" \
    "$h1" "$h2" "$h3" "$h4" "$h5" "$h6" "$h7" "$h8" "$h1" "$h2" "$h3" "D5:16"
  voice pluck "$WORK/v-pluck.wav" $(rests 4) \
    $(repeat 3 "$(repeat 2 D5:2 F#5:2 A5:2 F#5:2)" "$(repeat 2 C#5:2 E5:2 A5:2 E5:2)" \
      "$(repeat 2 D5:2 F#5:2 B5:2 F#5:2)" "$(repeat 2 D5:2 G5:2 B5:2 G5:2)" \
      "$(repeat 2 D5:2 G5:2 B5:2 G5:2)" "$(repeat 2 D5:2 F#5:2 A5:2 F#5:2)" \
      "$(repeat 2 C#5:2 E5:2 A5:2 E5:2)" "$(repeat 2 C#5:2 E5:2 A5:2 E5:2)") \
    "$(repeat 2 D5:2 F#5:2 A5:2 F#5:2)" "$(repeat 2 C#5:2 E5:2 A5:2 E5:2)" \
    "$(repeat 2 D5:2 F#5:2 B5:2 F#5:2)" "$(repeat 2 D5:2 F#5:2 A5:2 F#5:2)"
  chords "$WORK/v-pad.wav" D3+F#3+A3 C#3+E3+A3 D3+G3+B3 C#3+E3+A3 \
    $(repeat 3 D3+F#3+A3 C#3+E3+A3 D3+F#3+B3 D3+G3+B3 D3+G3+B3 D3+F#3+A3 C#3+E3+A3 C#3+E3+A3) \
    D3+F#3+A3 C#3+E3+A3 D3+F#3+B3 D3+F#3+A3
  mixdown map
}

# --- waltz: the music sheet. B flat major, three beats a bar at 168 a minute ----
# Twelve steps a bar: oom-pah-pah under a plucked tune, a trio in G minor: 76 bars, 81 s.
waltz() {
  tempo 3938
  BAR=12
  local bb="Bb2:4 -:8" f="F2:4 -:8" eb="Eb2:4 -:8" gm="G2:4 -:8" cm="C3:4 -:8"
  local phrase="$bb $bb $f $f $eb $eb $f $bb" minor="$gm $gm $cm $cm $f $f $bb $bb"
  voice bass "$WORK/v-bass.wav" $(repeat 2 $phrase) $(repeat 2 $minor) $(repeat 2 $phrase) $(repeat 2 $minor) \
    $phrase "$f" "$f" "$bb" "$bb"
  local oom="k...h...h..." turn="k...h...s.s."
  drums "$WORK/v-drums.wav" $(repeat 18 "$oom" "$oom" "$oom" "$turn") "$oom" "$oom" "$oom" 'k...........'
  local w1="D5:4 F5:4 Bb5:4" w2="A5:8 F5:4" w3="G5:4 Eb5:4 C5:4" w4="F5:12" w5="Eb5:4 G5:4 C6:4" w6="Bb5:8 G5:4"
  local w7="A5:4 F5:4 Eb5:4" w8="D5:12" x1="Bb5:4 A5:4 G5:4" x2="D5:8 G5:4" x3="C6:4 Bb5:4 A5:4" x4="Eb5:8 C5:4"
  local x5="F5:4 G5:4 A5:4" x6="C6:8 A5:4" x7="Bb5:4 F5:4 D5:4" x8="Bb4:12"
  local tune="$w1 $w2 $w3 $w4 $w5 $w6 $w7 $w8" trio="$x1 $x2 $x3 $x4 $x5 $x6 $x7 $x8"
  voice pluck "$WORK/v-pluck.wav" $tune $tune $trio $trio $tune $tune $trio $trio $tune $(rests 4)
  chords "$WORK/v-pad.wav" $(repeat 2 Bb3+D4+F4 Bb3+D4+F4 A3+C4+F4 A3+C4+F4 Bb3+Eb4+G4 Bb3+Eb4+G4 A3+C4+F4 Bb3+D4+F4) \
    $(repeat 2 G3+Bb3+D4 G3+Bb3+D4 G3+C4+Eb4 G3+C4+Eb4 A3+C4+F4 A3+C4+F4 Bb3+D4+F4 Bb3+D4+F4) \
    $(repeat 2 Bb3+D4+F4 Bb3+D4+F4 A3+C4+F4 A3+C4+F4 Bb3+Eb4+G4 Bb3+Eb4+G4 A3+C4+F4 Bb3+D4+F4) \
    $(repeat 2 G3+Bb3+D4 G3+Bb3+D4 G3+C4+Eb4 G3+C4+Eb4 A3+C4+F4 A3+C4+F4 Bb3+D4+F4 Bb3+D4+F4) \
    Bb3+D4+F4 Bb3+D4+F4 A3+C4+F4 A3+C4+F4 Bb3+Eb4+G4 Bb3+Eb4+G4 A3+C4+F4 Bb3+D4+F4 A3+C4+F4 A3+C4+F4 Bb3+D4+F4 Bb3+D4+F4
  unset BAR
  mixdown waltz
}

# --- drawer: the desk drawer. A dorian, 104 beats a minute, a dusty funk -------
# Drums and bass, plucked tune, an organ bridge, the tune again: 28 bars, 65 s.
drawer() {
  tempo 6361
  local am="A1:3 A2:1 -:2 A1:2 G2:2 A2:2 -:2 E2:2" d="D2:3 D3:1 -:2 D2:2 C3:2 D3:2 -:2 A2:2"
  local f="F1:3 F2:1 -:2 F1:2 Eb2:2 F2:2 -:2 C2:2" g="G1:3 G2:1 -:2 G1:2 F2:2 G2:2 -:2 D2:2"
  voice bass "$WORK/v-bass.wav" $(repeat 3 "$am" "$d" "$am" "$d") $(repeat 2 "$f" "$g" "$am" "$am") \
    $(repeat 2 "$am" "$d" "$am" "$d")
  local funk="k..h.hs.h.kh.hs." fill="k..h.hs.h.khssss" open="k...s...k.k.s.o."
  drums "$WORK/v-drums.wav" $(repeat 3 "$funk" "$funk" "$funk" "$fill") $(repeat 2 "$open" "$open" "$open" "$fill") \
    $(repeat 2 "$funk" "$funk" "$funk" "$fill")
  local p1="A4:2 C5:2 E5:3 D5:1 C5:2 A4:2 -:4" p2="F#5:2 E5:2 D5:2 A4:2 B4:4 -:4"
  local p3="A4:2 C5:2 E5:2 G5:2 E5:2 D5:2 C5:4" p4="D5:3 E5:1 F#5:4 A5:4 -:4"
  voice pluck "$WORK/v-pluck.wav" $(rests 4) $(repeat 2 "$p1" "$p2" "$p3" "$p4") $(rests 8) \
    $(repeat 2 "$p1" "$p2" "$p3" "$p4")
  voice organ "$WORK/v-organ.wav" $(rests 12) $(repeat 2 C5:4 A4:4 F4:4 A4:4 B4:4 D5:4 G5:8 E5:6 D5:2 C5:4 B4:4 A4:16) \
    $(rests 8)
  chords "$WORK/v-pad.wav" $(repeat 3 A3+C4+E4 F#3+A3+D4 A3+C4+E4 F#3+A3+D4) \
    $(repeat 2 F3+A3+C4 G3+B3+D4 A3+C4+E4 A3+C4+E4) $(repeat 2 A3+C4+E4 F#3+A3+D4 A3+C4+E4 F#3+A3+D4)
  mixdown drawer
}

# --- cover: the inside cover. B minor, 126 beats a minute, the Blot is near ---
# Bells alone, a low horn theme, a high tune over the bells, the theme, a half-time
# close: 34 bars, 65 s.
cover() {
  tempo 5250
  local bm="B1:2 B2:2 B1:2 B2:2 B1:2 B2:2 B1:2 F#2:2" g="G1:2 G2:2 G1:2 G2:2 G1:2 G2:2 G1:2 D2:2"
  local em="E2:2 E3:2 E2:2 E3:2 E2:2 E3:2 E2:2 B2:2" fs="F#1:2 F#2:2 F#1:2 F#2:2 F#1:2 F#2:2 F#1:2 C#2:2"
  voice bass "$WORK/v-bass.wav" $(rests 2) $(repeat 6 "$bm" "$g" "$em" "$fs") $(repeat 2 B1:16 G1:16 E2:16 F#1:16)
  local march="k.....k.s......." fill="k.....k.s.s.ssss" beat="k.h.s.h.k.khs.h." half="k.......s......."
  drums "$WORK/v-drums.wav" '................' '................' \
    $(repeat 2 "$march" "$march" "$march" "$fill") $(repeat 2 "$beat" "$beat" "$beat" "$fill") \
    $(repeat 2 "$march" "$march" "$march" "$fill") $(repeat 2 "$half" "$half" "$half" 'k.......s.s.ssss')
  local theme="B3:4 D4:4 F#4:8 G4:4 F#4:4 D4:8 E4:4 G4:4 B4:4 A4:4 F#4:12 -:4"
  voice horn "$WORK/v-horn.wav" $(rests 2) $theme $theme $(rests 8) $theme $theme $(rests 8)
  local tune="F#5:2 F#5:2 G5:2 F#5:2 E5:4 D5:4 D5:2 E5:2 G5:4 B5:4 A5:4 G5:4 E5:4 B4:4 E5:4 C#5:4 E5:4 F#5:8"
  voice lead "$WORK/v-lead.wav" $(rests 10) $tune $tune $(rests 16)
  local ring
  ring="$(repeat 4 B5:1 F#5:1 D5:1 F#5:1) $(repeat 4 B5:1 G5:1 D5:1 G5:1) $(repeat 4 B5:1 G5:1 E5:1 G5:1) $(repeat 4 A#5:1 F#5:1 C#5:1 F#5:1)"
  voice bell "$WORK/v-bell.wav" "$(repeat 4 B5:1 F#5:1 D5:1 F#5:1)" "$(repeat 4 B5:1 G5:1 D5:1 G5:1)" \
    $(rests 8) $ring $ring $(rests 8) $ring $ring
  chords "$WORK/v-pad.wav" B3+D4+F#4 G3+B3+D4 $(repeat 8 B3+D4+F#4 G3+B3+D4 E3+G3+B3 F#3+A#3+C#4)
  mixdown cover
}

# --- boss: both bosses. C minor, 147 beats a minute, tense and busy -----------
# Two rounds around a bridge in F minor that climbs back: 40 bars, 65 s.
boss() {
  tempo 4500
  local cm="C2:1 C2:1 C3:1 C2:1 C2:1 C3:1 C2:1 C2:1 Eb3:1 C2:1 C2:1 C3:1 G2:1 C2:1 Bb2:1 C3:1"
  local ab="Ab1:1 Ab1:1 Ab2:1 Ab1:1 Ab1:1 Ab2:1 Ab1:1 Ab1:1 C3:1 Ab1:1 Ab1:1 Ab2:1 Eb2:1 Ab1:1 G2:1 Ab2:1"
  local g="G1:1 G1:1 G2:1 G1:1 G1:1 G2:1 G1:1 G1:1 B2:1 G1:1 G1:1 G2:1 D2:1 G1:1 F2:1 G2:1"
  local fm="F1:1 F1:1 F2:1 F1:1 F1:1 F2:1 F1:1 F1:1 Ab2:1 F1:1 F1:1 F2:1 C2:1 F1:1 Eb2:1 F2:1"
  local db="Db2:1 Db2:1 Db3:1 Db2:1 Db2:1 Db3:1 Db2:1 Db2:1 F3:1 Db2:1 Db2:1 Db3:1 Ab2:1 Db2:1 C3:1 Db3:1"
  voice bass "$WORK/v-bass.wav" $(repeat 4 "$cm" "$cm" "$ab" "$g") $(repeat 2 "$fm" "$fm" "$db" "$g") \
    $(repeat 4 "$cm" "$cm" "$ab" "$g")
  local round
  round=$(repeat 3 'xhkhshkhxhkhshkh' 'xhkhshkhxhkhshkh' 'xhkhshkhxhkhshkh' 'xhkhshkhsksksss.')
  drums "$WORK/v-drums.wav" $round 'xhkhshkhxhkhshkh' 'xhkhshkhxhkhshkh' 'xhkhshkhxhkhshkh' 'ssssssssx.x.x.ss' \
    $(repeat 3 'k.k.s.k.k.k.s.k.' 'k.k.s.k.k.k.s.ss') 'k.k.s.k.k.k.s.k.' 'ssssssssssssssss' \
    $round 'xhkhshkhxhkhshkh' 'xhkhshkhxhkhshkh' 'xhkhshkhxhkhshkh' 'ssssssssx.x.x.ss'
  local a1="G4:2 Ab4:2 G4:2 F4:1 Eb4:1 D4:2 Eb4:2 C4:4"
  local a2="G4:2 Ab4:2 Bb4:2 C5:2 Bb4:2 Ab4:2 G4:4"
  local a3="Ab4:2 C5:2 Eb5:2 D5:1 C5:1 Ab4:4 F4:4"
  local a4="G4:2 B4:2 D5:2 F5:2 Eb5:2 D5:2 B4:4"
  local b1="C5:4 -:2 C5:1 C5:1 Eb5:4 D5:2 C5:2"
  local b2="G5:4 F5:2 Eb5:2 D5:4 Eb5:2 D5:2"
  local b3="C5:2 Eb5:2 Ab5:4 G5:2 F5:2 Eb5:4"
  local b4="D5:2 F5:2 B5:4 G5:4 -:4"
  local c1="F5:4 Ab5:4 C6:4 Ab5:4" c2="G5:4 F5:4 Eb5:8" c3="F5:2 Ab5:2 Db6:4 C6:4 Ab5:4" c4="B5:8 D6:8"
  local rounds="$a1 $a2 $a3 $a4 $b1 $b2 $b3 $b4 $a1 $a2 $a3 $a4 $b1 $b2 $b3 $b4"
  voice lead "$WORK/v-lead.wav" $rounds $(repeat 2 "$c1" "$c2" "$c3" "$c4") $rounds
  local bells
  bells=$(repeat 4 "$(repeat 8 C6:1 G5:1 Eb5:1 G5:1)" "$(repeat 4 C6:1 Ab5:1 Eb5:1 Ab5:1)" \
    "$(repeat 4 B5:1 G5:1 D5:1 G5:1)")
  voice bell "$WORK/v-bell.wav" $bells $(repeat 2 "$(repeat 8 C6:1 Ab5:1 F5:1 Ab5:1)" \
    "$(repeat 4 Db6:1 Ab5:1 F5:1 Ab5:1)" "$(repeat 4 B5:1 G5:1 D5:1 G5:1)") $bells
  chords "$WORK/v-pad.wav" $(repeat 4 C3+Eb3+G3 C3+Eb3+G3 Ab2+C3+Eb3 G2+B2+D3) \
    $(repeat 2 F3+Ab3+C4 F3+Ab3+C4 Db3+F3+Ab3 G2+B2+D3) $(repeat 4 C3+Eb3+G3 C3+Eb3+G3 Ab2+C3+Eb3 G2+B2+D3)
  mixdown boss
}

# A second argument makes only the named tracks (for example: boss waltz).
if [ $# -gt 1 ]; then
  for track in "${@:2}"; do "$track"; done
  exit 0
fi
punchout
level1
level2
history
science
map
waltz
drawer
cover
boss
