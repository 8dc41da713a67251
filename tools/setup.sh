#!/usr/bin/env bash
# Installs what building and testing VORT-N needs on a Debian machine,
# only where it is missing.
set -euo pipefail
packages=(g++ cmake make libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev libjpeg-dev
          libgl1-mesa-dri xvfb xauth xdotool openbox libopenblas-dev liblapacke-dev pkgconf fonts-dejavu-core xdg-utils
          poppler-utils clang-format-14 imagemagick)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
