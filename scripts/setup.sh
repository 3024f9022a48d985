#!/usr/bin/env bash
# Installs what Orvane needs to build, run and test on Debian 12.
# Does nothing when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config libuchardet-dev
  qt6-base-dev qt6-qpa-plugins libqt6svg6 libqscintilla2-qt6-dev libgl-dev
  adwaita-icon-theme fonts-urw-base35 fonts-dejavu-core
  xvfb xauth openbox xdotool imagemagick poppler-utils bc time desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
