#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs that are not installed yet.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-svg-dev qt6-qpa-plugins libgl-dev
    qt6-tools-dev libqt6opengl6-dev
    libbenchmark-dev
    libqt6sql6-sqlite tzdata
    libqt6sql6-psql postgresql-15
    qt6-translations-l10n
    clang libclang-rt-14-dev
    fonts-dejavu-core fonts-liberation2
    xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
