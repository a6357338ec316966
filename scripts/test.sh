#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite inside a virtual
# X server (the GL tests open real windows on Mesa's software renderer).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
cd "$root/build"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure "$@"
