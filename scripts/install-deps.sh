#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (Debian 12).
set -euo pipefail
PACKAGES=(
  build-essential cmake ninja-build pkg-config clang-format python3
  libgtest-dev googletest libbenchmark-dev
  libfltk1.3-dev
  g++-mingw-w64-x86-64-posix
  wine wine64 fonts-wine
  xvfb xauth xdotool x11-utils x11-apps imagemagick socat
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
