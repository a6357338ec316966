#!/usr/bin/env bash
# The Debian package: built with cpack as the README says, laid out under /usr, with
# dependencies found from the binaries, and the game extracted from it starts.
# Lintian runs when it is installed. Usage: package.sh BUILD_DIR SCREENS_DIR
set -u
BUILD=$1
SCREENS=$2
mkdir -p "$SCREENS"
. "$(dirname "$0")/lib.sh"
[ -n "${DISPLAY:-}" ] || fail "needs an X display (run the suite under xvfb-run)"
trap 'stop_game; rm -rf "$work"' EXIT
work=$(mktemp -d)

(cd "$BUILD" && cpack -G DEB -B "$work/out" > "$work/cpack.txt" 2>&1) || fail "cpack: $(tail -5 "$work/cpack.txt")"
deb=$(ls "$work"/out/margin-brawler_*_amd64.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no margin-brawler_<version>_amd64.deb in $(ls "$work/out")"

dpkg-deb --contents "$deb" | awk '{ print $6 }' > "$work/contents.txt"
for f in ./usr/bin/margin-brawler ./usr/bin/margin-coin-server ./usr/lib/margin-brawler/margin-music-decoder \
  ./usr/share/margin-brawler/config.dat \
  ./usr/share/margin-brawler/levels/level1.dat ./usr/share/applications/margin-brawler.desktop \
  ./usr/share/metainfo/margin-brawler.metainfo.xml ./usr/share/icons/hicolor/48x48/apps/margin-brawler.png \
  ./usr/share/icons/hicolor/256x256/apps/margin-brawler.png ./usr/share/man/man6/margin-brawler.6.gz \
  ./usr/share/man/man8/margin-coin-server.8.gz ./usr/share/man/man1/margin-check.1.gz \
  ./usr/share/doc/margin-brawler/copyright \
  ./usr/share/doc/margin-brawler/changelog.gz ./usr/lib/systemd/system/margin-coin-server.service; do
  grep -qx "$f" "$work/contents.txt" || fail "the package lacks $f"
done
grep -v "^\./usr/" "$work/contents.txt" | grep -qv "^\./$" && fail "files outside /usr: $(grep -v '^\./usr/' "$work/contents.txt")"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libglut libopenal libpng libhidapi libc6; do
  echo "$depends" | grep -q "$lib" || fail "Depends lacks $lib: $depends"
done
dpkg-deb -x "$deb" "$work/root" || fail "cannot extract the package"
grep -qx "ExecStart=/usr/bin/margin-coin-server --port 7777 --bind 127.0.0.1" \
  "$work/root/usr/lib/systemd/system/margin-coin-server.service" || fail "the unit does not name /usr/bin"

mkdir -p "$work/anywhere"
GAME=$work/root/usr/bin/margin-brawler
shows_main_menu "$work/anywhere" 800x600 package-main-menu

if command -v lintian > /dev/null; then
  lintian --tag-display-limit 0 "$deb" > "$work/lintian.txt" 2>&1
  cat "$work/lintian.txt"
  grep -q "^E: " "$work/lintian.txt" && fail "lintian reports errors"
  grep -q "no-manual-page\|manpage-has-errors" "$work/lintian.txt" && fail "lintian finds a manual page missing or broken"
fi
echo "package: $(du -k "$deb" | cut -f1) KiB, installed: $(dpkg-deb -f "$deb" Installed-Size) KiB"
