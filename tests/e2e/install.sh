#!/usr/bin/env bash
# The installed game as a player starts it: installed into a temporary prefix, started
# from an unrelated empty directory with the installed settings and data, then with
# the player's own settings, then with a config.dat in the starting directory.
# Usage: install.sh BUILD_DIR SCREENS_DIR
set -u
BUILD=$1
SCREENS=$2
mkdir -p "$SCREENS"
. "$(dirname "$0")/lib.sh"
[ -n "${DISPLAY:-}" ] || fail "needs an X display (run the suite under xvfb-run)"
trap 'stop_game; rm -rf "$work"' EXIT

work=$(mktemp -d)
prefix=$work/prefix
cmake --install "$BUILD" --prefix "$prefix" > "$work/install.txt" || fail "cmake --install failed"
for f in bin/margin-brawler bin/margin-coin-server lib/margin-brawler/margin-music-decoder \
  share/margin-brawler/config.dat \
  share/margin-brawler/textures.dat share/applications/margin-brawler.desktop \
  share/metainfo/margin-brawler.metainfo.xml share/man/man6/margin-brawler.6.gz \
  share/man/man8/margin-coin-server.8.gz share/man/man1/margin-check.1.gz share/doc/margin-brawler/copyright \
  lib/systemd/system/margin-coin-server.service \
  share/icons/hicolor/{48x48,64x64,128x128,256x256}/apps/margin-brawler.png; do
  [ -f "$prefix/$f" ] || fail "the installation lacks $f"
done
grep -vq "Installing: $prefix\|Up-to-date: $prefix\|^-- Install configuration" "$work/install.txt" \
  && fail "installed outside the prefix: $(grep -v "$prefix" "$work/install.txt" | head -3)"
grep -qx "ExecStart=$prefix/bin/margin-coin-server --port 7777 --bind 127.0.0.1" \
  "$prefix/lib/systemd/system/margin-coin-server.service" || fail "the unit does not name the installed server"
command -v systemd-analyze > /dev/null && { systemd-analyze verify --man=no \
  "$prefix/lib/systemd/system/margin-coin-server.service" || fail "systemd rejects the unit"; }
command -v desktop-file-validate > /dev/null && { desktop-file-validate \
  "$prefix/share/applications/margin-brawler.desktop" || fail "invalid desktop entry"; }
command -v appstreamcli > /dev/null && { appstreamcli validate --no-net \
  "$prefix/share/metainfo/margin-brawler.metainfo.xml" > "$work/appstream.txt" \
  || fail "invalid metainfo: $(cat "$work/appstream.txt")"; }

GAME=$prefix/bin/margin-brawler
export XDG_CONFIG_HOME=$work/config

# An empty directory: the installed settings (800 x 600) and data.
mkdir -p "$work/anywhere"
shows_main_menu "$work/anywhere" 800x600 installed-main-menu

# The player's own file overrides the window size without touching the installation.
mkdir -p "$XDG_CONFIG_HOME/margin-brawler"
printf 'int width 1024\nint height 768\n' > "$XDG_CONFIG_HOME/margin-brawler/config.dat"
shows_main_menu "$work/anywhere" 1024x768 installed-user-size

# A config.dat in the starting directory replaces the installed one (whose 800 x 600 is
# then not read), its data directory is relative to it, and the player's file still
# comes last.
mkdir -p "$work/own"
ln -s "$prefix/share/margin-brawler" "$work/own/data"
printf 'string dataDirectory data\n' > "$work/own/config.dat"
printf 'int height 500\n' > "$XDG_CONFIG_HOME/margin-brawler/config.dat"
shows_main_menu "$work/own" 640x500 installed-own-config
