#!/usr/bin/env bash
# A short session as a player would have it, on the bundled data: the main menu, a
# one-player game (intro skipped), walking right, punching, the pause menu, back to
# the main menu, the credits and back. Screenshots are kept for a person to look at.
set -u
GAME=$1
DATA=$2
SCREENS=$3
mkdir -p "$SCREENS"
. "$(dirname "$0")/lib.sh"
[ -n "${DISPLAY:-}" ] || fail "needs an X display (run the suite under xvfb-run)"
trap stop_game EXIT

out=$(mktemp -d)
(cd "$DATA" && exec "$GAME" > "$out/stdout.txt" 2> "$out/stderr.txt") &
GAME_PID=$!
id=$(window_id) || fail "no game window; the game said: $(tail -n 5 "$out/stdout.txt" "$out/stderr.txt" 2>&1)"

shot() { sleep "${2:-1}"; import -window "$id" "$SCREENS/$1.png" || fail "screenshot $1"; }
key() { xdotool key --delay 60 --window "$id" "$@"; }
hold() { xdotool keydown --window "$id" "$1"; sleep "$2"; xdotool keyup --window "$id" "$1"; }
said() { grep -q "$1" "$out/stdout.txt"; }
wait_said() { for _ in $(seq 1 100); do said "$1" && return 0; sleep 0.1; done; return 1; }
alive() { kill -0 "$GAME_PID" 2>/dev/null || fail "the game died: $(tail -5 "$out/stderr.txt")"; }
# Mean brightness of a screenshot, 0..1: tells a full-window picture from the world.
brightness() { convert "$SCREENS/$1.png" -colorspace Gray -format "%[fx:mean]" info:; }

shot main-menu 2
alive

key Return                       # 1 Player
wait_said "Loaded cutscenes/intro.dat" || fail "the intro did not start"
shot intro 1
key space                        # skip it
shot game-start 1
alive
hold Right 3
shot walked-right 0.2
for _ in 1 2 3 4 5 6; do key period; sleep 0.25; done
shot punching 0.3
alive

key Escape                       # pause
shot pause-menu 1
key Escape                       # resume
shot resumed 1
key Escape Down Down Return      # pause, exit to main menu
shot back-to-menu 1
alive

key Down Down Return             # credits
wait_said "Loaded cutscenes/credits.dat" || fail "the credits did not start"
shot credits 1.5
key space                        # skip: the fresh main menu waits underneath
shot after-credits 1
alive

grep -q "Unrecognized line\|Unhandled line\|Failed to load\|Could not open cutscene\|already exists\|Bad PNG\|is not a PNG\|Can't open" \
  "$out/stdout.txt" "$out/stderr.txt" && fail "data problems: $(grep -h "Unrecognized\|Unhandled\|Failed\|Could not\|already\|PNG\|Can't" "$out"/*.txt | head)"

# The pause menu is a full-window picture over the game, not the game itself.
[ "$(brightness pause-menu)" != "$(brightness resumed)" ] || fail "the pause menu looked like the game"
cmp -s "$SCREENS/game-start.png" "$SCREENS/walked-right.png" && fail "walking right changed nothing on screen"
rm -rf "$out"
