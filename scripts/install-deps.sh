#!/usr/bin/env bash
# Installs every Debian 12 package that building, running and testing Kestrava needs.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  build-essential cmake make g++ clang-format ccache
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools
  qt6-documentation-tools qt6-qpa-plugins libqt6sql6-sqlite
  libqt6svg6 qt6-svg-dev libgl-dev
  fonts-liberation2
  xvfb xauth imagemagick x11-utils
  curl python3
  desktop-file-utils appstream
  dpkg-dev file
)

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything is installed"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends "${missing[@]}"
