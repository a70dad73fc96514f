#!/usr/bin/env bash
# Installs what Zerlivan needs on Debian 12, if anything is missing.  Runs apt-get update only
# when something has to be installed.
#   setup.sh run    what building and running the program need
#   setup.sh test   that, and what the tests, the code checks, the sanitizer build, the fuzzer
#                   and the benchmarks need (the default)
set -euo pipefail

run_packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev libfontconfig-dev
    libqt6sql6-sqlite qt6-charts-dev libqt6opengl6-dev
    qt6-wayland qt6-translations-l10n qt6-l10n-tools qt6-tools-dev
    fonts-liberation fonts-dejavu-core
)
test_packages=(
    xvfb xauth xdotool x11-utils x11-xserver-utils imagemagick libxcb-screensaver0-dev
    x11-apps desktop-file-utils appstream man-db lintian python3
    libbenchmark-dev valgrind
    clang libclang-rt-14-dev
    clang-format clang-tidy shellcheck
    dbus
)

case "${1:-test}" in
run) packages=("${run_packages[@]}") ;;
test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
*)
    echo "usage: setup.sh [run|test]" >&2
    exit 2
    ;;
esac

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
