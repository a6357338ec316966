# Helpers for driving the real game under an X server (sourced by the e2e scripts).

fail() { echo "FAIL: $*" >&2; exit 1; }

# The game loads the player's own settings last; the tester's must not leak in.
export XDG_CONFIG_HOME=/nonexistent/margin-brawler-tests

# start_game DIR: starts the game with DIR as working directory; sets GAME_PID.
start_game() {
  (cd "$1" && exec "$GAME" > "$1/stdout.txt" 2> "$1/stderr.txt") &
  GAME_PID=$!
}

stop_game() {
  if [ -n "${GAME_PID:-}" ] && kill -0 "$GAME_PID" 2>/dev/null; then
    kill "$GAME_PID" 2>/dev/null
    wait "$GAME_PID" 2>/dev/null
  fi
  GAME_PID=""
}

# window_id: waits up to 10 s for the game's window and prints its id.
window_id() {
  local id=""
  for _ in $(seq 1 100); do
    id=$(xdotool search --name "^Margin Brawler$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
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
