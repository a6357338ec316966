#!/usr/bin/env bash
# Installs every Debian package that the game, its asset tools and its tests need.
# Idempotent: runs apt-get only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri
  libopenal-dev libalut-dev libvorbis-dev libogg-dev
  libpng-dev libjpeg62-turbo-dev zlib1g-dev libhidapi-dev libenet-dev libsdl2-dev
  libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core
  sox libsox-fmt-all vorbis-tools ffmpeg
  dpkg-dev file fakeroot desktop-file-utils appstream lintian
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
