#!/usr/bin/env bash
# Sound effects, synthesised with sox: 16-bit mono WAV at 22.05 kHz, peaks at -1 dBFS,
# no DC offset, each under a second and loud within its first 10 ms.
# Usage: make-sounds.sh SOUNDS_DIR
set -euo pipefail
OUT=$1
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$OUT"
RANDOM=4242

# sox with a fixed random seed, so noise and dither are the same on every run.
SOX=(sox -R -V1)
FMT=(-r 22050 -c 1 -b 16)

# tone OUT SYNTH-AND-EFFECTS...: one synthesised layer.
tone() {
  local out=$1; shift
  "${SOX[@]}" -n "${FMT[@]}" "$WORK/$out" "$@"
}

# finish OUT LAYER...: mixes the layers (or takes the single one), removes any DC
# offset, normalises.
finish() {
  local out=$1; shift
  if [ $# -gt 1 ]; then
    "${SOX[@]}" -m "${@/#/$WORK/}" "${FMT[@]}" "$WORK/mix.wav"
  else
    cp "$WORK/$1" "$WORK/mix.wav"
  fi
  "${SOX[@]}" "$WORK/mix.wav" "${FMT[@]}" "$OUT/$out" highpass 25 norm -1
}

# at SECONDS IN OUT: delays a layer by SECONDS of silence.
at() {
  "${SOX[@]}" "$WORK/$2" "$WORK/$3" pad "$1"
}

# A swish of air: bands of noise that rise one after another, low to high and
# back, so the ear hears the arm sweep past.
woosh() {
  local parts=(w.wav) i=0 f
  # The cut of the air as the arm starts, so the sound is there at once.
  tone w.wav synth 0.03 whitenoise highpass 1500 fade p 0.001 0.03 0.025
  for f in 350 500 700 950 1200 900; do
    tone "w$i.wav" synth 0.16 pinknoise bandpass "$f" 1.5q lowpass 2500 fade h 0.006 0.16 0.12
    at "$(printf '0.%03d' $((i * 50)))" "w$i.wav" "wd$i.wav"
    parts+=("wd$i.wav")
    i=$((i + 1))
  done
  finish woosh.wav "${parts[@]}"
}

# A fist on a body: a falling low thump with a short slap on top.
punch() {
  tone p1.wav synth 0.24 sine 170/45 fade p 0.003 0.24 0.22
  tone p2.wav synth 0.05 whitenoise lowpass 2500 fade p 0.001 0.05 0.048 vol 0.7
  tone p3.wav synth 0.12 brownnoise lowpass 600 fade p 0.002 0.12 0.11
  finish punch.wav p1.wav p2.wav p3.wav
}

# A stick on a body: a hollow wooden knock.
stickhit() {
  tone s1.wav synth 0.22 sine 330:300 fade p 0.001 0.22 0.21
  tone s2.wav synth 0.1 sine 880:820 fade p 0.001 0.1 0.095 vol 0.6
  tone s3.wav synth 0.035 whitenoise bandpass 1800 1q fade p 0.001 0.035 0.03
  tone s4.wav synth 0.16 sine 140/70 fade p 0.002 0.16 0.15 vol 0.8
  finish stickhit.wav s1.wav s2.wav s3.wav s4.wav
}

# Tearing: a run of short crackles of noise, each at its own pitch and loudness.
rip() {
  local parts=() i d g f
  for ((i = 0; i < 34; i++)); do
    d=0.0$((10 + RANDOM % 25))
    g=0.$((30 + RANDOM % 70))
    [ "$i" -eq 0 ] && g=0.99
    f=$((1800 + RANDOM % 3500))
    tone "r$i.wav" synth "$d" whitenoise bandpass "$f" 2q fade p 0.001 "$d" 0.006 vol "$g"
    parts+=("$WORK/r$i.wav")
    if ((RANDOM % 3 == 0)); then
      tone "g$i.wav" trim 0 0.00$((2 + RANDOM % 7))
      parts+=("$WORK/g$i.wav")
    fi
  done
  "${SOX[@]}" "${parts[@]}" "$WORK/r.wav"
  "${SOX[@]}" "$WORK/r.wav" "$WORK/r1.wav" highpass 600 fade t 0.002 -0 0.2
  finish rip.wav r1.wav
}

# Drinking up an ink pot: a bubbling rising slurp and a gulp.
slurp() {
  tone l0.wav synth 0.04 sine 900/300 fade p 0.001 0.04 0.035
  tone l1.wav synth 0.55 sine 260/720 tremolo 23 90 fade h 0.06 0.55 0.15 vol 0.7
  tone l2.wav synth 0.55 pinknoise bandpass 900 2q tremolo 17 80 fade h 0.1 0.55 0.2 vol 0.6
  tone l3.wav synth 0.09 sine 380/980 fade h 0.01 0.09 0.04
  at 0.58 l3.wav l3d.wav
  finish slurp.wav l0.wav l1.wav l2.wav l3d.wav
}

# Firing a body as a bazooka: a deep boom with a rushing tail.
bazooka() {
  tone b1.wav synth 0.9 brownnoise lowpass 320 fade p 0.004 0.9 0.85 overdrive 12
  tone b2.wav synth 0.5 sine 95/32 fade p 0.002 0.5 0.45
  tone b3.wav synth 0.7 pinknoise highpass 1500 bend 0,-1200,0.6 fade t 0.02 0.7 0.6 vol 0.5
  finish bazooka.wav b1.wav b2.wav b3.wav
}

# The shell bursting: a wet boom followed by a scatter of drops.
bazookasplash() {
  local parts=(bs0.wav bs1.wav bs2.wav) i d f
  tone bs0.wav synth 0.03 whitenoise fade p 0.0005 0.03 0.025
  tone bs1.wav synth 0.9 whitenoise lowpass 500 lowpass 500 fade p 0.002 0.9 0.85 overdrive 8
  tone bs2.wav synth 0.25 whitenoise bandpass 1200 1q fade p 0.002 0.25 0.23 vol 0.8
  for ((i = 0; i < 14; i++)); do
    d=0.$((10 + RANDOM % 70))
    f=$((900 + RANDOM % 2200))
    tone "bd$i.wav" synth 0.07 sine "$f/$((f * 2))" fade p 0.002 0.07 0.06 vol 0.$((25 + RANDOM % 50))
    at "$d" "bd$i.wav" "bdd$i.wav"
    parts+=("bdd$i.wav")
  done
  finish bazookasplash.wav "${parts[@]}"
}

# An obstacle smashed: cracking wood over a heavy thud.
obstaclehit() {
  local parts=(o1.wav) i
  tone o1.wav synth 0.35 sine 120/45 fade p 0.002 0.35 0.33
  for i in 0 1 2 3 4; do
    tone "oc$i.wav" synth 0.05 whitenoise bandpass $((1200 + i * 500)) 1.5q fade p 0.001 0.05 0.045
    tone "op$i.wav" synth 0.2 pluck $((190 + i * 70)) lowpass 1800 fade p 0 0.2 0.18 vol 0.7
    at "0.0$((i * 2))" "oc$i.wav" "ocd$i.wav"
    at "$(printf '0.%03d' $((i * 60 + 30)))" "op$i.wav" "opd$i.wav"
    parts+=("ocd$i.wav" "opd$i.wav")
  done
  finish obstaclehit.wav "${parts[@]}"
}

# Quill banter: a chirpy, chattering little voice, nonsense syllables and a laugh.
quillbanter() {
  local parts=() i=0 syl
  for syl in 640:760 560:470 440:560 500:400 720:560; do
    tone "q$i.wav" synth 0.09 sawtooth "$syl" band 1100 500 band 2400 900 \
      tremolo 30 40 fade p 0.003 0.09 0.03 vol "$([ "$i" -eq 0 ] && echo 1 || echo 0.6)"
    parts+=("$WORK/q$i.wav")
    tone "qg$i.wav" trim 0 0.025
    parts+=("$WORK/qg$i.wav")
    i=$((i + 1))
  done
  "${SOX[@]}" "${parts[@]}" "$WORK/q.wav"
  tone qh.wav synth 0.26 square 700:1400 tremolo 14 70 band 1400 900 fade h 0.02 0.26 0.1 vol 0.25
  "${SOX[@]}" "$WORK/q.wav" "$WORK/qh.wav" "$WORK/q1.wav"
  finish quillbanter.wav q1.wav
}

woosh
punch
stickhit
rip
slurp
bazooka
bazookasplash
obstaclehit
quillbanter

{
  for s in woosh punch stickhit rip slurp bazooka bazookasplash obstaclehit quillbanter; do
    echo "$s 1 $s.wav"
  done
} > "$OUT/../sounds.dat"
