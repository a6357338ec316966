#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite inside a virtual
# X server (the GL tests open real windows on Mesa's software renderer). The image
# and sound loaders, which parse untrusted files, and the fights, where objects point at each
# other across deaths, pick-ups and removals, run a second time under AddressSanitizer;
# so does a soak of random play (tools/soak); margin-check vets the bundled data,
# and every untrusted input is fuzzed for 20 seconds (scripts/fuzz.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# The virtual X server must not reset when its last client leaves: the end-to-end tests
# start one game after another, and a game connecting during a reset fails to open the
# display.
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"

cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DMB_ASAN=ON -DMB_BUILD_BENCHMARKS=OFF > /dev/null
cmake --build "$root/build-asan" -j"$(nproc)" --target test_render test_characters test_audio test_core soak
# Leaks are checked here: everything the game allocates must be freed (tests/lsan.supp
# lets only the GL and sound drivers' own allocations be).
(cd "$root/build-asan" && xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
  ctest --output-on-failure -R "^(characters|core)$|^(ImageDecoding|Checkerboard|TextureManager|SoundEffects\.SoundList|HostileMusic)")

# The bundled data must load without a single complaint.
"$root/build/tools/margin-check" "$root/data"
# Ten minutes of random play, home and arcade, under the sanitizers (about half a minute).
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions="$root/tests/lsan.supp" UBSAN_OPTIONS=print_stacktrace=1 \
  "$root/build-asan/tools/soak" --seed 1 --ticks 30000 | grep '^soak:'

(cd "$root/build" && xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --output-on-failure "$@")

bash "$root/scripts/fuzz.sh" 20
