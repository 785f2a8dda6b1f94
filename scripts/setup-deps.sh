#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs that are not installed yet.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config ccache
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-svg-dev qt6-qpa-plugins libgl-dev
    qt6-tools-dev libqt6opengl6-dev
    libbenchmark-dev libqcustomplot-dev
    libqt6sql6-sqlite tzdata
    libqt6sql6-psql postgresql-15
    qt6-translations-l10n
    clang libclang-rt-14-dev
    fonts-dejavu-core fonts-liberation2
    xvfb xauth
    libmosquitto-dev mosquitto openssl
    qt6-httpserver-dev qt6-websockets-dev
    chromium
    libsystemd-dev systemd dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
# Node.js and npm for the web page's chart library and the browser test's driver; a machine
# that already has a node with its own npm keeps it.
command -v npm >/dev/null 2>&1 || missing+=(nodejs npm)

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The npm packages pinned in package-lock.json (uPlot, playwright-core), without their install
# scripts: the browser is Debian's chromium, nothing is downloaded besides the packages.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ ! -e "$root/node_modules/.package-lock.json" ] ||
    ! cmp -s "$root/package-lock.json" "$root/node_modules/.brisora-lock"; then
    (cd "$root" && npm ci --ignore-scripts --no-audit --no-fund)
    cp "$root/package-lock.json" "$root/node_modules/.brisora-lock"
fi
