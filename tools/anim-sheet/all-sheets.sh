#!/bin/sh
# Renders every animation of the game as a contact sheet into /work/screens/anim/
# (or the folder given as the second argument). Needs the anim-sheet tool built, found
# through ANIM_SHEET or in build/tools/; starts its own Xvfb when there is no display.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
data=${1:-$repo/data}
out=${2:-/work/screens/anim}
tool=${ANIM_SHEET:-$repo/build/tools/anim-sheet}
if [ ! -x "$tool" ]; then
    echo "anim-sheet not found at $tool (set ANIM_SHEET)" >&2
    exit 1
fi
mkdir -p "$out"
run() {
    if [ -n "${DISPLAY:-}" ]; then
        "$tool" "$@"
    else
        xvfb-run -a -s "-screen 0 1280x1024x24" "$tool" "$@"
    fi
}
for file in "$data"/animations/*.txt; do
    base=$(basename "$file" .txt)
    run "$data" "$(basename "$file")" "$out/$base.png"
    echo "$out/$base.png"
done
