#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game on the bundled data/ directory.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
cd "$root/data"
exec "$root/build/margin-brawler" "$@"
