#!/usr/bin/env bash
# Installs the Debian packages Kinetora needs (when missing) and builds it into build/.
# Usage: scripts/setup.sh [extra cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    libgl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-dev libegl-mesa0 libx11-dev
    libwayland-dev wayland-protocols libxkbcommon-dev sway grim wtype swayidle weston
    libjpeg62-turbo-dev libpng-dev zlib1g-dev libwebp-dev libheif-dev
    qt6-base-dev qt6-qpa-plugins
    googletest libgtest-dev libgmock-dev
    xvfb xdotool x11-utils
    clang libclang-rt-14-dev ccache
    lintian dpkg-dev
)

. scripts/lib/packages.sh
install_packages "${PACKAGES[@]}"

BUILD_DIR=${BUILD_DIR:-build}
# ccache keeps compiled objects across build folders and clean clones on this machine:
# paths are taken relative to the checkout, so a clone elsewhere hits the same entries.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
    -DCMAKE_C_COMPILER_LAUNCHER=ccache "$@" > /dev/null
cmake --build "$BUILD_DIR" -j2
