#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and UndefinedBehavior-
# Sanitizer) into build-fuzz/, runs each for SECONDS seconds (default 20), one at a
# time, then replays every kept finding in tests/fuzz/regressions/<target>/.
# A crash, a hang (-timeout) or a memory blow-up (-rss_limit_mb) fails the run, except
# in the targets that run libvorbis in the fuzzer's own process (vorbis): a fault there
# is what the game's music decoder process is for, so their runs go on past it, and each
# such finding, like each kept input of theirs, is replayed through the game's own
# player, where it must cost only the music.
# Usage: bash scripts/fuzz.sh [SECONDS] [TARGET...]
# The corpus grows in build-fuzz/corpus/<target>/; new findings land in
# build-fuzz/findings/<target>/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
shift || true
all=(settings textures sounds level animation cutscene calibration joystick wiimote coin png jpeg ogg musicpipe vorbis
  soundfile replay net padmappings progress)
contained=(vorbis)
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
# Replayed music plays past the decoder's 5 s time-out, so that a hang is seen through.
replaying=(env MB_FUZZ_MUSIC_MS=7000)

# Whether the fault an input causes in the fuzzer's own process lies inside libvorbis,
# libvorbisfile or libogg: the innermost frames of a crash or a leak, any frame of a
# hang or a blow-up. A fault in the game's own code is never excused.
inside_library() {
  local report=$findings/one.log
  "$binary" "${options[@]}" "$1" > "$report" 2>&1 && return 1
  case $(basename "$1") in
    crash-*|leak-*) grep -m1 -A5 "ERROR: \(Address\|Leak\)Sanitizer" "$report" | grep -q "lib\(vorbis\|vorbisfile\|ogg\)\.so" ;;
    *) grep -q "lib\(vorbis\|vorbisfile\|ogg\)\.so" "$report" ;;
  esac
}
failed=()
contained_findings=0
for target in "${targets[@]}"; do
  run=()
  replay=("${replaying[@]}")
  if [[ " ${contained[*]} " == *" $target "* ]]; then
    # A generator spends bytes on every choice: let inputs be long from the start.
    run=(-fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 -len_control=0)
    replay+=(MB_FUZZ_THROUGH_GAME=1)
  fi
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
  touch "$findings/.started"
  if ! "$binary" "${options[@]}" "${run[@]}" "${dict[@]}" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$findings/" "$corpus" "$fuzz/corpus/$target" "$seeds" > "$log" 2>&1; then
    # A contained target's run ends with the status of its last finding; those are
    # judged one by one below, so only a run that never got going fails here.
    if [ ${#run[@]} -eq 0 ] || ! grep -q "^INFO: fuzzed for" "$log"; then
      failed+=("$target")
      grep -E "^(==[0-9]+==ERROR|SUMMARY|.*runtime error|artifact_prefix|Test unit written)" "$log" | head -5 || true
    fi
  fi
  grep -E "^stat::number_of_executed_units|^#[0-9]+.*DONE|^#[0-9]+: cov" "$log" | tail -1 || true

  if [ ${#run[@]} -gt 0 ]; then
    mapfile -t found < <(find "$findings" -maxdepth 1 -newer "$findings/.started" \
      \( -name 'crash-*' -o -name 'timeout-*' -o -name 'oom-*' -o -name 'leak-*' \) | sort)
    if [ ${#found[@]} -gt 0 ]; then
      contained_findings=$((contained_findings + ${#found[@]}))
      echo "== $target found ${#found[@]}; each must lie inside the decoder library and cost the game only its music"
      for input in "${found[@]}"; do
        inside_library "$input" || { failed+=("$target (outside the library: $input)"); tail -5 "$findings/one.log"; }
      done
      if ! "${replay[@]}" "$binary" "${options[@]}" "${found[@]}" > "$findings/contained.log" 2>&1; then
        failed+=("$target (not contained)")
        grep -E "^(==[0-9]+==ERROR|SUMMARY|.*runtime error|Running: )" "$findings/contained.log" | tail -5 || true
      fi
    fi
  fi

  regressions=("$fuzz/regressions/$target"/*)
  if [ -e "${regressions[0]}" ]; then
    echo "== replay ${#regressions[@]} kept findings of $target"
    if ! "${replay[@]}" "$binary" "${options[@]}" "${regressions[@]}" > "$findings/replay.log" 2>&1; then
      failed+=("$target (regression)")
      grep -E "^(==[0-9]+==ERROR|SUMMARY|.*runtime error|Running: )" "$findings/replay.log" | tail -5 || true
    fi
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing found problems in: ${failed[*]} (inputs and logs in $build/findings/)"
  exit 1
fi
if [ $contained_findings -gt 0 ]; then
  echo "Fuzzing found $contained_findings faults inside the decoder library, each costing the game only its music."
else
  echo "Fuzzing found nothing new."
fi
