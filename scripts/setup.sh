#!/usr/bin/env bash
# Installs the Debian packages the game, its tests and its tools need, when
# any is missing. Safe to run again.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libbullet-dev libglfw3-dev libglew-dev libglm-dev libfreeimage-dev
  libopenal-dev libalut-dev libgl1-mesa-dev libgl1-mesa-dri libfreetype-dev
  fonts-dejavu-core
  libgtest-dev libgmock-dev googletest libbenchmark-dev libtinyobjloader-dev
  xvfb xauth xdotool x11-apps sox
  clang-14 libclang-rt-14-dev python3
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
