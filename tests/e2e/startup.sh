#!/usr/bin/env bash
# Start-up as a person sees it: window size, title, the data-directory message, the
# F5-F8 sizes, the full-screen fallback where game mode is unavailable, full screen at
# the desktop's size, and F11 and Alt+Enter switching between window and full screen.
set -u
GAME=$1
SCREENS=$2
mkdir -p "$SCREENS"
. "$(dirname "$0")/lib.sh"
[ -n "${DISPLAY:-}" ] || fail "needs an X display (run the suite under xvfb-run)"
trap stop_game EXIT

work=$(mktemp -d)

# No config.dat: a 640 x 480 window titled "Margin Brawler", and the message.
mkdir -p "$work/bare"
start_game "$work/bare"
id=$(window_id) || fail "no window titled Margin Brawler"
wait_for_size "$id" 640x480 || fail "window is $(window_size "$id"), not 640x480"
sleep 0.5
grep -qx "Failed to change into the data directory." "$work/bare/stderr.txt" \
  || fail "missing data-directory message: $(cat "$work/bare/stderr.txt")"
import -window root "$SCREENS/startup-bare.png" 2>/dev/null || true

# F6 resizes to 800 x 600, F5 back to 640 x 480.
xdotool key --window "$id" F6
wait_for_size "$id" 800x600 || fail "F6 left the window at $(window_size "$id")"
xdotool key --window "$id" F5
wait_for_size "$id" 640x480 || fail "F5 left the window at $(window_size "$id")"
kill -0 "$GAME_PID" || fail "the game died"
stop_game

# width 800 / height 600 from config.dat, and a data directory that exists.
mkdir -p "$work/sized/data"
printf 'int width 800\nint height 600\nstring dataDirectory data\n' > "$work/sized/config.dat"
start_game "$work/sized"
id=$(window_id) || fail "no window with a sized config"
wait_for_size "$id" 800x600 || fail "window is $(window_size "$id"), not 800x600"
sleep 0.5
if grep -q "Failed to change into the data directory." "$work/sized/stderr.txt"; then
  fail "the data directory exists but the game could not change into it"
fi
# The first line names the settings file the game read, by its full path.
head -n 1 "$work/sized/stdout.txt" | grep -q "^Settings read from $work/sized/config.dat[ .]" \
  || fail "no line naming the settings file: $(head -n 1 "$work/sized/stdout.txt")"
stop_game

# fullscreen 1: game mode never enters under Xvfb, so a full-screen window stands in.
mkdir -p "$work/full"
printf 'int fullscreen 1\nint width 800\nint height 600\n' > "$work/full/config.dat"
start_game "$work/full"
screen=$(xwininfo -root | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
id=$(window_id) || fail "no window in full-screen mode"
wait_for_size "$id" "$screen" || fail "full-screen window is $(window_size "$id"), screen is $screen"
kill -0 "$GAME_PID" || fail "the game died in full-screen mode"
import -window root "$SCREENS/startup-fullscreen.png" 2>/dev/null || true
stop_game

# fullscreen 1 without a size: the desktop's size at once. F11 and Alt+Enter switch to a
# window and back; F6 from full screen gives its own size.
mkdir -p "$work/desktop"
printf 'int fullscreen 1\n' > "$work/desktop/config.dat"
start_game "$work/desktop"
id=$(window_id) || fail "no window for a full screen without a size"
wait_for_size "$id" "$screen" || fail "full screen without a size is $(window_size "$id"), screen is $screen"
grep -q "not available" "$work/desktop/stdout.txt" && fail "a full screen at the desktop's size needs no screen mode"
xdotool key --window "$id" F11
wait_for_size "$id" 640x480 || fail "F11 left full screen at $(window_size "$id")"
xdotool key --window "$id" F11
wait_for_size "$id" "$screen" || fail "F11 in a window gave $(window_size "$id"), screen is $screen"
xdotool key --window "$id" alt+Return
wait_for_size "$id" 640x480 || fail "Alt+Enter left full screen at $(window_size "$id")"
xdotool key --window "$id" alt+Return
wait_for_size "$id" "$screen" || fail "Alt+Enter in a window gave $(window_size "$id")"
xdotool key --window "$id" F6
wait_for_size "$id" 800x600 || fail "F6 in full screen gave $(window_size "$id")"
kill -0 "$GAME_PID" || fail "the game died switching full screen"
stop_game

rm -rf "$work"
