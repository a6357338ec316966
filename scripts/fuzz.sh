#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and UndefinedBehavior-
# Sanitizer) into build-fuzz/, runs each for SECONDS seconds (default 20), one at a
# time, then replays every kept finding in tests/fuzz/regressions/<target>/.
# A crash, a hang (-timeout) or a memory blow-up (-rss_limit_mb) fails the run.
# Usage: bash scripts/fuzz.sh [SECONDS] [TARGET...]
# The corpus grows in build-fuzz/corpus/<target>/; new findings land in
# build-fuzz/findings/<target>/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
shift || true
all=(settings textures sounds level animation cutscene calibration joystick wiimote coin png jpeg ogg soundfile replay net progress)
targets=("${@:-${all[@]}}")
build=$root/build-fuzz
fuzz=$root/tests/fuzz

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMB_FUZZ=ON \
  -DMB_BUILD_TESTS=OFF -DMB_BUILD_BENCHMARKS=OFF > /dev/null
cmake --build "$build" -j"$(nproc)" --target fuzzers

# Seeds from the shipped data files of each text format (small images too).
data_seeds() {
  case $1 in
    settings) echo "$root/data/config.dat" ;;
    textures) echo "$root/data/textures.dat" ;;
    sounds) echo "$root/data/sounds.dat" ;;
    level) ls "$root"/data/levels/* ;;
    animation) ls "$root"/data/animations/* ;;
    cutscene) ls "$root"/data/cutscenes/* ;;
    png) find "$root/data/images" -name '*.png' -size -8k ;;
  esac
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
# No input of a few kilobytes has any business asking for half a gigabyte at once.
options=(-rss_limit_mb=2048 -malloc_limit_mb=512 -timeout=10 -close_fd_mask=3)
failed=()
for target in "${targets[@]}"; do
  binary=$build/tests/fuzz/fuzz_$target
  corpus=$build/corpus/$target
  seeds=$build/seeds/$target
  findings=$build/findings/$target
  mkdir -p "$corpus" "$seeds" "$findings"
  for file in $(data_seeds "$target"); do cp "$file" "$seeds/"; done
  dict=()
  [ -f "$fuzz/dict/$target.dict" ] && dict=(-dict="$fuzz/dict/$target.dict")
  log=$findings/last-run.log

  echo "== fuzz $target for ${seconds}s"
  if ! "$binary" "${options[@]}" "${dict[@]}" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$findings/" "$corpus" "$fuzz/corpus/$target" "$seeds" > "$log" 2>&1; then
    failed+=("$target")
    grep -E "^(==[0-9]+==ERROR|SUMMARY|.*runtime error|artifact_prefix|Test unit written)" "$log" | head -5 || true
  fi
  grep -E "^stat::number_of_executed_units|^#[0-9]+.*DONE" "$log" | tail -1 || true

  regressions=("$fuzz/regressions/$target"/*)
  if [ -e "${regressions[0]}" ]; then
    echo "== replay ${#regressions[@]} kept findings of $target"
    if ! "$binary" "${options[@]}" "${regressions[@]}" > "$findings/replay.log" 2>&1; then
      failed+=("$target (regression)")
      grep -E "^(==[0-9]+==ERROR|SUMMARY|.*runtime error|Running: )" "$findings/replay.log" | tail -5 || true
    fi
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing found problems in: ${failed[*]} (inputs and logs in $build/findings/)"
  exit 1
fi
echo "Fuzzing found nothing new."
