#!/usr/bin/env bash
# Installs the Debian 12 packages ZAK Manager needs to build, test and run, when they are missing.
# Runs apt-get directly as root, through sudo otherwise.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-svg-dev qt6-translations-l10n
  libgtest-dev
  clang libclang-rt-14-dev
  xvfb xauth openbox xdotool imagemagick
  fonts-liberation fontconfig
  poppler-utils
  clang-format
  dpkg-dev file lintian appstream desktop-file-utils man-db debootstrap
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
