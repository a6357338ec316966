#!/usr/bin/env bash
# Two online-peer processes play one game on 127.0.0.1.
#   direct   the joiner pauses and quits after 1500 ticks: both pause at the same tick,
#            both end back at the menu with the same digest, and the host's replay
#            plays back with the replay tool
#   relay    the same through a relay that drops 5 %, delays 10 ms and reorders
#   outofstep  a host whose game is nudged out of step: both sides stop at the next
#            digest, naming the tick and what differs
#   refused  a joiner whose levels/level1.dat differs is refused, naming the file
#   killed   a joiner killed mid-game ends the host's game with its message; the
#            host's replay is kept
#   continent  with rollback, through a relay 100 ms each way that drops 5 %: a fighter
#            and a player who presses attack once play 3000 ticks without a desync and
#            without waiting for the network; that press makes the host's first
#            rollback, and both replays play back
# With a sixth argument (a rollback depth) both peers play with rollback instead of
# in lockstep.
# Usage: online.sh CASE ONLINE_PEER UDP_RELAY REPLAY_TOOL DATA_DIR [ROLLBACK]
set -euo pipefail
case_name=$1 peer=$2 relay=$3 replay_tool=$4 data=$5
mode=()
[ -z "${6:-}" ] || mode=(--rollback "$6")
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
port=$((20000 + ($$ * 13) % 40000))

fail() { echo "FAIL: $*"; echo "--- host"; cat "$work/host.txt"; echo "--- joiner"; cat "$work/joiner.txt"; exit 1; }
line() { grep "^online-peer: $1" "$work/$2.txt" || true; }

host() { "$peer" --host --port "$port" --data "$data" --seed 1 ${mode[@]+"${mode[@]}"} "$@" > "$work/host.txt" 2>&1; }
join() { "$peer" --join 127.0.0.1 --seed 2 ${mode[@]+"${mode[@]}"} "$@" > "$work/joiner.txt" 2>&1; }

play_in_step() {
  host --fast --record "$work/replays" & hosting=$!
  pids+=("$hosting")
  join --fast "$@" || fail "the joiner did not end cleanly"
  wait "$hosting" || fail "the host did not end cleanly"
  [ -n "$(line digest host)" ] && [ "$(line digest host)" = "$(line digest joiner)" ] || fail "the digests differ"
  [ -n "$(line paused host)" ] && [ "$(line paused host)" = "$(line paused joiner)" ] || fail "not paused alike"
}

case $case_name in
  direct)
    play_in_step --port "$port" --data "$data" --ticks 1500
    "$replay_tool" --data "$data" "$work"/replays/*.replay | grep -q matches || fail "the replay does not play back" ;;
  relay)
    "$relay" $((port + 1)) "$port" --drop 5 --delay 10 --reorder 10 --seed 7 & pids+=($!)
    play_in_step --port $((port + 1)) --data "$data" --ticks 1500 ;;
  outofstep)
    host --fast --nudge 30 & pids+=($!)
    ! join --fast --port "$port" --data "$data" || fail "the joiner went on out of step"
    ! wait "${pids[0]}" || fail "the host went on out of step"
    for side in host joiner; do
      grep -Eq "ended: The game went out of step at tick 50: object [0-9]+ \([A-Za-z]+\)\.$" "$work/$side.txt" ||
        fail "$side: no reason"
    done ;;
  refused)
    cp -r "$data" "$work/data"
    echo "# changed" >> "$work/data/levels/level1.dat"
    host & pids+=($!)
    ! join --port "$port" --data "$work/data" || fail "a joiner with other data was let in"
    ! wait "${pids[0]}" || fail "the host went on with other data"
    for side in host joiner; do
      grep -q "The other player's levels/level1.dat differs from ours." "$work/$side.txt" || fail "$side: no reason"
    done ;;
  killed)
    host --record "$work/replays" & hosting=$!
    pids+=("$hosting")
    "$peer" --join 127.0.0.1 --port "$port" --data "$data" ${mode[@]+"${mode[@]}"} > "$work/joiner.txt" 2>&1 & joining=$!
    pids+=("$joining")
    sleep 3
    kill -9 "$joining"
    ! wait "$hosting" || fail "the host ended cleanly without its player"
    grep -Eq "ended: The other player (has not been heard from for 5 seconds|left the game)\.$" "$work/host.txt" ||
      fail "the host does not say the other player is gone"
    replay=$(line replay host | cut -d' ' -f3)
    [ -f "$replay" ] && grep -q "^end [0-9]* menu" "$replay" || fail "no finished replay kept" ;;
  continent)
    "$relay" $((port + 1)) "$port" --drop 5 --delay 100 --seed 7 & pids+=($!)
    host --fight --delay 1 --record "$work/replays" & hosting=$!
    pids+=("$hosting")
    join --port $((port + 1)) --data "$data" --delay 1 --idle --press 1500 --ticks 3000 --record "$work/joined" ||
      fail "the joiner did not end cleanly"
    wait "$hosting" || fail "the host did not end cleanly"
    [ -n "$(line digest host)" ] && [ "$(line digest host)" = "$(line digest joiner)" ] || fail "the digests differ"
    # The joiner pressed on tick 1500, which takes effect one tick later.
    line "first rollback" host | grep -q "from tick 1501$" || fail "the press made no rollback"
    # Waiting for the other side's input at all is rare at this distance; a wait on
    # every lost packet would show here as dozens.
    for side in host joiner; do
      [ "$(line waits "$side" | cut -d' ' -f3 | tr -d ,)" -le 5 ] || fail "$side waited for the network"
    done
    for replay in "$work"/replays/*.replay "$work"/joined/*.replay; do
      "$replay_tool" --data "$data" "$replay" | grep -q matches || fail "$replay does not play back"
    done ;;
  *) echo "unknown case $case_name"; exit 2 ;;
esac
echo "online $case_name: ok"
