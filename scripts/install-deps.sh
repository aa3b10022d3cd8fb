#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs to build, test, benchmark and fuzz: the one
# list of every dependency (libraries, tools the tests run, fonts and sound fonts).
# As root, missing packages are installed; otherwise the one apt-get line is printed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  clang-14 libclang-rt-14-dev clang-format-14
  libsdl2-dev libfreetype-dev libfontconfig-dev fonts-ipafont-gothic fonts-ipafont-mincho
  libvorbis-dev libogg-dev libavformat-dev libavcodec-dev libswscale-dev libswresample-dev
  libavutil-dev libfluidsynth-dev timgm6mb-soundfont libcurl4-openssl-dev ffmpeg
  zlib1g-dev libpng-dev libjpeg62-turbo-dev libpixman-1-dev liblua5.4-dev
  libgtest-dev googletest libbenchmark-dev
  xvfb xauth imagemagick x11-utils openbox xdotool
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Install them with:" >&2
  echo "  sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
