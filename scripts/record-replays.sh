#!/usr/bin/env bash
# Re-records the regression replays in tests/replays/ by playing scripted games through
# the real game on the bundled data (no window, no person). Run it after a change to the
# data or to the rules of play that is meant to change how games go; then check that
# `ctest -R replay` passes and commit the new replays with the change.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" > /dev/null
cmake --build "$build" -j"$(nproc)" --target replay
mkdir -p "$root/tests/replays"
# Each game starts from a fresh random seed; a scripted fight that missed a weapon, or a
# campaign that ran out of time before the credits, is played again. The two-player
# campaign is won about half the time, so it gets more tries.
for script in campaign1 campaign2 arcade weapons; do
  case "$script" in campaign*) tries=20 ;; *) tries=5 ;; esac
  for ((attempt = 1; attempt <= tries; attempt++)); do
    if "$build/tools/replay" --data "$root/data" --record-script "$script" "$root/tests/replays/$script.replay" |
      tail -1; then
      break
    fi
    [ "$attempt" -lt "$tries" ] || { echo "could not record $script" >&2; exit 1; }
  done
done
"$build/tools/replay" --data "$root/data" "$root"/tests/replays/*.replay
