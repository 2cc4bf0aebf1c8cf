#!/usr/bin/env bash
# Installs every Debian package the build, the Wine test bench, the loopback rig, the download (zip) and its
# check (unzip) and the picture check (python3) need.
# Idempotent: when everything is present it only checks and returns within a second.
set -euo pipefail

packages=(
  cmake make g++ clang libclang-rt-14-dev libgtest-dev googletest valgrind
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine32:i386 wine64
  libxrender1:i386 libxrandr2:i386 libxcursor1:i386 libxi6:i386 libxfixes3:i386 libxinerama1:i386
  libxcomposite1:i386
  xvfb xauth x11-utils fonts-wine fonts-liberation imagemagick
  pulseaudio pulseaudio-utils
  zip unzip python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
