# Helpers for driving the real game under an X server (sourced by the e2e scripts).

fail() { echo "FAIL: $*" >&2; exit 1; }

# The game loads the player's own settings last; the tester's must not leak in.
export XDG_CONFIG_HOME=/nonexistent/margin-brawler-tests
# Nor the tester's campaign progress. The controls page a new installation shows before
# its first game has been seen here: menus are driven by position.
export XDG_STATE_HOME=${TMPDIR:-/tmp}/margin-brawler-e2e-state
mkdir -p "$XDG_STATE_HOME/margin-brawler"
: > "$XDG_STATE_HOME/margin-brawler/controls-shown"

# start_game DIR: starts the game with DIR as working directory; sets GAME_PID.
start_game() {
  GAME_DIR=$1
  (cd "$1" && exec "$GAME" > "$1/stdout.txt" 2> "$1/stderr.txt") &
  GAME_PID=$!
}

# game_state: what the game started last is doing, for a failure's message.
game_state() {
  [ -n "${GAME_PID:-}" ] || return 0
  if kill -0 "$GAME_PID" 2>/dev/null; then
    echo "the game (pid $GAME_PID) runs, state $(awk '{print $3}' "/proc/$GAME_PID/stat" 2>/dev/null), waiting in $(cat "/proc/$GAME_PID/wchan" 2>/dev/null);"
  else
    echo "the game (pid $GAME_PID) has ended;"
  fi
  echo "windows: $(xdotool search --name '.' getwindowname %@ 2>/dev/null | tr '\n' '|')"
  [ -z "${GAME_DIR:-}" ] || tail -n 5 "$GAME_DIR/stdout.txt" "$GAME_DIR/stderr.txt" 2>&1
}

stop_game() {
  if [ -n "${GAME_PID:-}" ] && kill -0 "$GAME_PID" 2>/dev/null; then
    kill "$GAME_PID" 2>/dev/null
    wait "$GAME_PID" 2>/dev/null
  fi
  GAME_PID=""
}

# window_id: waits up to 30 s (a busy machine starts Mesa slowly) for the game's window and prints its id.
window_id() {
  local id=""
  for _ in $(seq 1 300); do
    id=$(xdotool search --name "^Margin Brawler$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  game_state >&2
  return 1
}

# window_size ID: prints WIDTHxHEIGHT.
window_size() {
  xwininfo -id "$1" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'
}

# wait_for_size ID SIZE: waits up to 5 s for the window to take SIZE.
wait_for_size() {
  for _ in $(seq 1 50); do
    [ "$(window_size "$1")" = "$2" ] && return 0
    sleep 0.1
  done
  return 1
}

# shows_main_menu DIR SIZE SHOT: $GAME started in DIR opens a SIZE window showing the
# main menu with the bundled pictures and reports no data problem; keeps SHOT.png.
shows_main_menu() {
  start_game "$1"
  local id
  id=$(window_id) || fail "no game window (started in $1)"
  wait_for_size "$id" "$2" || fail "window is $(window_size "$id"), not $2 (started in $1)"
  sleep 2
  import -window "$id" "$SCREENS/$3.png" || fail "screenshot $3"
  kill -0 "$GAME_PID" 2>/dev/null || fail "the game died: $(tail -3 "$1/stderr.txt")"
  stop_game
  grep -q "Failed\|Could not\|Couldn't\|Can't\|Unrecognized\|missing\|does not appear" "$1/stdout.txt" "$1/stderr.txt" \
    && fail "data problems: $(cat "$1/stdout.txt" "$1/stderr.txt" | head -5)"
  # The menu background is light paper; a missing picture draws a dark checkerboard.
  local light
  light=$(convert "$SCREENS/$3.png" -colorspace Gray -format "%[fx:mean > 0.6]" info:)
  [ "$light" = 1 ] || fail "the main menu in $3 is not the bundled paper background"
}
