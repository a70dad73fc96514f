#!/usr/bin/env bash
# Installs what Zerlivan needs to build, run and test on Debian 12, if anything is missing.
# Runs apt-get update only when something has to be installed.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libqt6sql6-sqlite qt6-charts-dev libqt6opengl6-dev
    fonts-liberation fonts-dejavu-core
    xvfb xauth xdotool x11-utils imagemagick
    x11-apps desktop-file-utils
    libbenchmark-dev valgrind
    clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
