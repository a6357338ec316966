#!/usr/bin/env bash
# Regenerates every picture, sound effect and music track of the game, with the
# lists that name them, into the data directory (default: data/ of this repository).
# Usage: tools/assets/make-assets.sh [DATA_DIR]
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
DATA=$(mkdir -p "${1:-$HERE/../../data}" && cd "${1:-$HERE/../../data}" && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
source "$HERE/lib.sh"
require_tools convert identify sox soxi oggenc ffmpeg awk

# Only what these scripts make is replaced; levels, animations and settings stay.
rm -rf "$DATA/images" "$DATA/sounds" "$DATA/music"
mkdir -p "$DATA/images" "$DATA/sounds" "$DATA/music" "$DATA/cutscenes"

step() {
  echo "== $1" >&2
  shift
  "$@"
}

step "HUD pictures" "$HERE/make-hud.sh" "$DATA/images"
step "menu pictures" "$HERE/make-menus.sh" "$DATA/images"
step "level pictures" "$HERE/make-scenery.sh" "$DATA/images"
# The slides between levels are drawn on the level pages, so they come after them.
step "cutscene slides" "$HERE/make-slides.sh" "$DATA/images" "$DATA/cutscenes"
step "sound effects" "$HERE/make-sounds.sh" "$DATA/sounds"
step "music" "$HERE/make-music.sh" "$DATA/music"
# Not game data: the desktop icons the installation ships.
step "desktop icons" "$HERE/make-icons.sh" "$HERE/../../packaging/icons"

# The texture list: image file (under images/), then the name the game binds.
cat > "$DATA/textures.dat" <<'EOF'
hud/font.png font
hud/pen.png pen
hud/arm.png arm
hud/leg.png leg
hud/head.png head
hud/bazooka.png bazooka
hud/credits.png credits
hud/continue.png continue
hud/join.png join
menu/mainmenu_1p.png mainmenu_1p
menu/mainmenu_2p.png mainmenu_2p
menu/mainmenu_credits.png mainmenu_credits
menu/mainmenu_quit.png mainmenu_quit
menu/pausemenu_resume.png pausemenu_resume
menu/pausemenu_restart.png pausemenu_restart
menu/pausemenu_exit.png pausemenu_exit
menu/pausemenu_checkpoint.png pausemenu_checkpoint
menu/mainmenu_continue.png mainmenu_continue
menu/mainmenu_options.png mainmenu_options
menu/pausemenu_options.png pausemenu_options
menu/mainmenu_bk.jpg mainmenu_bk
menu/pausemenu_bk.jpg pausemenu_bk
menu/deathmenu_bk.jpg deathmenu_bk
menu/options_bk.jpg options_bk
menu/loading.jpg loading
level/background.jpg background
level/page_maths.jpg page_maths
level/page_history.jpg page_history
level/page_science.jpg page_science
level/page_music.jpg page_music
level/page_map.jpg page_map
level/page_drawer.jpg page_drawer
level/page_cover.jpg page_cover
level/crate.png crate
level/barrel.png barrel
level/bin.png bin
level/books.png books
level/ruler.png ruler
level/smallink.png smallink
level/medink.png medink
level/largeink.png largeink
EOF

# Every file the lists name must exist.
missing=0
while read -r file _; do
  [ -f "$DATA/images/$file" ] || { echo "missing images/$file" >&2; missing=1; }
done < "$DATA/textures.dat"
for cut in "$DATA"/cutscenes/*.dat; do
  while read -r kind name file; do
    [ "$kind" = texture ] || continue
    [ -f "$DATA/images/$file" ] || { echo "missing images/$file ($cut)" >&2; missing=1; }
  done < "$cut"
done
while read -r name count files; do
  for f in $files; do
    [ -f "$DATA/sounds/$f" ] || { echo "missing sounds/$f ($name)" >&2; missing=1; }
  done
done < "$DATA/sounds.dat"
[ "$missing" -eq 0 ]

echo "== done: $(find "$DATA/images" "$DATA/sounds" "$DATA/music" -type f | wc -l) files," \
  "$(du -sh "$DATA/images" "$DATA/sounds" "$DATA/music" | awk '{ print $2 ": " $1 }' | tr '\n' ' ')" >&2
