#!/usr/bin/env bash
# Two real games on one display play online over 127.0.0.1, as two people would: the
# host chooses "2 Players" and waits, the joiner does the same and both reach the game;
# Escape on one pauses both and Escape on the other resumes both; when the joiner is
# killed the host goes back to the main menu, says why, and keeps its replay.
set -u
GAME=$(realpath "$1")
DATA=$(realpath "$2")
SCREENS=$3
mkdir -p "$SCREENS"
. "$(dirname "$0")/lib.sh"
[ -n "${DISPLAY:-}" ] || fail "needs an X display (run the suite under xvfb-run)"

work=$(mktemp -d)
HOST_PID="" JOIN_PID=""
trap 'kill $HOST_PID $JOIN_PID 2>/dev/null; wait; rm -rf "$work"' EXIT

# A UDP port nobody on this machine holds now.
port_in_use() { grep -qi ":$(printf '%04X' "$1") " /proc/net/udp /proc/net/udp6 2>/dev/null; }
port=$((20000 + RANDOM % 30000))
while port_in_use "$port"; do port=$((20000 + RANDOM % 30000)); done

# player DIR [HOST]: a start directory whose config.dat is the bundled one, online.
player() {
  mkdir -p "$1"
  { cat "$DATA/config.dat"
    printf 'string dataDirectory %s\nstring replayDirectory %s/replays\n' "$DATA" "$1"
    printf 'int width 640\nint height 480\nint online 1\nint onlinePort %s\n' "$port"
    [ -z "${2:-}" ] || echo "string onlineHost $2"
  } > "$1/config.dat"
}
player "$work/host"
player "$work/join" 127.0.0.1

# launch DIR: starts the game in DIR and prints its pid.
launch() { (cd "$1" && exec "$GAME" > "$1/stdout.txt" 2> "$1/stderr.txt") & echo $!; }
# new_window KNOWN: waits for a game window other than KNOWN and prints its id.
new_window() {
  for _ in $(seq 1 300); do
    for id in $(xdotool search --name "^Margin Brawler$" 2>/dev/null); do
      [ "$id" != "${1:-}" ] && { echo "$id"; return 0; }
    done
    sleep 0.1
  done
  return 1
}
wait_said() { for _ in $(seq 1 "${3:-100}"); do grep -q "$2" "$1/stdout.txt" && return 0; sleep 0.1; done; return 1; }
shot() { import -window "$1" "$SCREENS/$2.png" || fail "screenshot $2"; }
key() { local id=$1; shift; xdotool key --delay 80 --window "$id" "$@"; }
# ink SHOT GEOMETRY: 1 when that part of the screenshot holds dark ink (a line of text).
ink() { convert "$SCREENS/$1.png" -crop "$2" -colorspace Gray -format "%[fx:minima < 0.3]" info:; }
# differs A B: the two screenshots are not nearly the same picture (small copies are
# compared, so a window's one-pixel offset or a moving figure does not count).
differs() { [ "$(convert "$SCREENS/$1.png" "$SCREENS/$2.png" -resize 64x48! -compose difference -composite -colorspace Gray -format "%[fx:mean > 0.03]" info:)" = 1 ]; }

HOST_PID=$(launch "$work/host")
host=$(new_window) || fail "no host window"
sleep 2
shot "$host" online-host-menu
key "$host" Down Return                  # 2 Players
wait_said "$work/host" "Waiting for the other player on port $port" || fail "the host did not start waiting"
sleep 1
shot "$host" online-waiting
differs online-host-menu online-waiting || fail "the waiting screen looks like the main menu"
[ "$(ink online-waiting 560x24+40+384)" = 1 ] || fail "no waiting line under the loading picture"

JOIN_PID=$(launch "$work/join")
join=$(new_window "$host") || fail "no joiner window"
# Side by side: a screenshot takes what the screen shows of a window.
xdotool windowmove "$join" 640 0
sleep 2
key "$join" Down Return                  # 2 Players
for dir in host join; do
  wait_said "$work/$dir" "Loaded cutscenes/intro.dat" 200 || fail "the $dir did not start the level: $(tail -3 "$work/$dir/stdout.txt")"
done
key "$join" space                        # the joiner skips the intro for both
sleep 2
shot "$host" online-host-playing
shot "$join" online-join-playing

key "$host" Escape                       # the host pauses both
sleep 1.5
shot "$host" online-host-paused
shot "$join" online-join-paused
for side in host join; do
  differs "online-$side-playing" "online-$side-paused" || fail "the $side did not pause"
done
differs online-host-paused online-join-paused && fail "the two sides show different pause screens"

key "$join" Escape                       # the joiner resumes both
sleep 1.5
shot "$host" online-host-resumed
differs online-host-paused online-host-resumed || fail "the joiner's Escape did not resume the host"

kill -9 "$JOIN_PID"
sleep 2
shot "$host" online-host-stalled         # the network note, for a person to look at
wait_said "$work/host" "The other player" 150 || fail "the host never noticed the joiner was gone"
sleep 0.5
shot "$host" online-host-left
kill -0 "$HOST_PID" 2>/dev/null || fail "the host died: $(tail -3 "$work/host/stderr.txt")"
# The main menu again, with a line of dark ink under its last entry where it had none.
differs online-host-menu online-host-left && fail "the host is not back at the main menu"
[ "$(ink online-host-menu 400x12+120+456)$(ink online-host-left 400x12+120+456)" = 01 ] \
  || fail "no message on the host's main menu"
ls "$work/host/replays/"*.replay > /dev/null 2>&1 || fail "the host kept no replay"
exit 0
