#!/usr/bin/env bash
# A machine that draws slowly keeps the game's time: with every frame made to last at
# least 45 ms (the MARGIN_BRAWLER_FRAME_DELAY test hook), 500 ticks still take about
# 10 s of real time, and fewer frames than ticks are drawn. The bound on the period is
# loose enough for a loaded machine; a game whose ticks waited for its frames would
# need 65 ms or more a tick.
set -u
GAME=$1
DATA=$2
. "$(dirname "$0")/lib.sh"
[ -n "${DISPLAY:-}" ] || fail "needs an X display (run the suite under xvfb-run)"
trap stop_game EXIT

dir=$(mktemp -d)
grep -v '^string dataDirectory\|^string replayDirectory' "$DATA/config.dat" > "$dir/config.dat"
echo "string dataDirectory $DATA" >> "$dir/config.dat"
export MARGIN_BRAWLER_FRAME_DELAY=45 MARGIN_BRAWLER_TICK_REPORT=500
start_game "$dir"
for _ in $(seq 1 600); do
  grep -q "^Tick period over 500 ticks" "$dir/stdout.txt" && break
  sleep 0.1
done
report=$(grep "^Tick period over 500 ticks" "$dir/stdout.txt") || fail "no tick report: $(tail -3 "$dir/stdout.txt")"
stop_game
period=$(echo "$report" | sed -n 's/.*ticks: \([0-9.]*\) ms.*/\1/p')
frames=$(echo "$report" | sed -n 's/.*ms; \([0-9]*\) frames.*/\1/p')
[ -n "$period" ] && [ -n "$frames" ] || fail "unreadable report: $report"
awk -v p="$period" 'BEGIN { exit !(p >= 19.5 && p <= 30) }' || fail "slow frames slowed the game: $report"
[ "$frames" -lt 500 ] && [ "$frames" -ge 50 ] || fail "frames were not dropped for time: $report"
echo "$report"
rm -rf "$dir"
