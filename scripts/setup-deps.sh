#!/usr/bin/env bash
# Installs the build and run-time packages this project needs on Debian 12,
# skipping everything that is already present.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools libqt6printsupport6 libgl-dev
  libssl-dev openssl libsqlite3-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev rapidjson-dev
  xvfb xdotool x11-apps imagemagick fonts-dejavu-core fonts-liberation poppler-utils
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

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
