#!/usr/bin/env bash
# A game played under X with recording on is written as a replay; played back three
# times headless it ends in the same digest each time, and played back on screen (where
# frames are drawn at their own pace between ticks) it meets every recorded digest, in
# a 16:9 and a 4:3 window, with frames blended between ticks and without.
set -u
GAME=$1
REPLAY_TOOL=$2
DATA=$3
SCREENS=$4
mkdir -p "$SCREENS"
. "$(dirname "$0")/lib.sh"
[ -n "${DISPLAY:-}" ] || fail "needs an X display (run the suite under xvfb-run)"
trap stop_game EXIT

dir=$(mktemp -d)
configure() {  # configure EXTRA-LINE...: the bundled settings with our data folder
  grep -v '^string dataDirectory\|^string replayDirectory\|^string playReplay\|^int width\|^int height\|^int interpolate' \
    "$DATA/config.dat" > "$dir/config.dat"
  { echo "string dataDirectory $DATA"; printf '%s\n' "$@"; } >> "$dir/config.dat"
}
key() { xdotool key --delay 60 --window "$id" "$@"; }
hold() { xdotool keydown --window "$id" "$1"; sleep "$2"; xdotool keyup --window "$id" "$1"; }

configure "string replayDirectory $dir/replays" "int width 800" "int height 600" "int interpolate 1"
start_game "$dir"
id=$(window_id) || fail "no game window"
sleep 1
key Return                        # 1 Player
sleep 1
key space                         # skip the intro
hold Right 2
for _ in 1 2 3 4; do key period; sleep 0.2; done
hold Up 0.5
key Escape Down Down Return       # pause, exit to main menu: the replay ends
sleep 1
stop_game
replay=$(ls "$dir"/replays/*.replay 2>/dev/null | head -n 1)
[ -n "$replay" ] || fail "no replay was recorded: $(cat "$dir/stdout.txt")"
grep -q '^end [0-9]* menu ' "$replay" || fail "the replay has no end record"

first=$("$REPLAY_TOOL" --data "$DATA" --digest-only "$replay" 2>/dev/null | tail -n 1)
for run in 2 3; do
  again=$("$REPLAY_TOOL" --data "$DATA" --digest-only "$replay" 2>/dev/null | tail -n 1)
  [ "$again" = "$first" ] || fail "headless run $run ended elsewhere: $again / $first"
done
"$REPLAY_TOOL" --data "$DATA" "$replay" 2>/dev/null | grep -q ", matches (" || fail "headless playback differs"

# watch SIZE INTERPOLATE: plays the replay on screen in a window of SIZE.
watch() {
  configure "string playReplay $replay" "int width ${1%x*}" "int height ${1#*x}" "int interpolate $2"
  start_game "$dir"
  id=$(window_id) || fail "no game window for playback at $1"
  wait_for_size "$id" "$1" || fail "playback window is $(window_size "$id"), not $1"
  sleep 3
  import -window "$id" "$SCREENS/replay-playback-$1-$2.png" || fail "screenshot"
  for _ in $(seq 1 300); do
    grep -q "replay finished after" "$dir/stdout.txt" && break
    sleep 0.1
  done
  grep "replay finished after" "$dir/stdout.txt" | grep -q ": matches$" ||
    fail "on-screen playback at $1, interpolate $2: $(grep -i 'replay\|differs' "$dir/stdout.txt")"
  kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended after playback instead of returning to the menu"
  stop_game
}
watch 1280x720 1
watch 800x600 1
watch 1280x720 0
rm -rf "$dir"
