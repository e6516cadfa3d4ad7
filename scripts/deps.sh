#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need,
# only when some are missing. Usage: scripts/deps.sh [build|run|test]
set -euo pipefail
what=${1:-test}
pkgs=(cmake ninja-build g++ clang libgtest-dev libbenchmark-dev libsdl2-dev libgl-dev libegl-dev
      libgl1-mesa-dri libegl-mesa0 nlohmann-json3-dev libfreetype-dev fonts-dejavu-core zlib1g-dev libpng-dev)
if [ "$what" = test ]; then
  pkgs+=(libclang-rt-14-dev xvfb xdotool matchbox-window-manager openbox x11-utils imagemagick)
  # The installation's checks: validators, the manual page, the Debian package.
  pkgs+=(desktop-file-utils appstream man-db groff-base dpkg-dev)
fi
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" = 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
