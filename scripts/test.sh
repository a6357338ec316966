#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite inside a virtual
# X server (the GL tests open real windows on Mesa's software renderer). The image
# decoders, which parse untrusted files, run a second time under AddressSanitizer, and
# every untrusted input is fuzzed for 20 seconds (scripts/fuzz.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"

cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DMB_ASAN=ON -DMB_BUILD_BENCHMARKS=OFF > /dev/null
cmake --build "$root/build-asan" -j"$(nproc)" --target test_render
(cd "$root/build-asan" && xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --output-on-failure -R "^(ImageDecoding|Checkerboard|TextureManager)")

(cd "$root/build" && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure "$@")

bash "$root/scripts/fuzz.sh" 20
