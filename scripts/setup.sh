#!/usr/bin/env bash
# Installs the Debian packages Kinetora needs (when missing) and builds it into build/.
# Usage: [PRESET=name] [BUILD_DIR=folder] scripts/setup.sh [extra cmake options...]
# PRESET names a configure preset of CMakePresets.json (default: default); BUILD_DIR, when
# set, builds in that folder instead of the preset's.
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

PRESET=${PRESET:-default}
# ccache keeps compiled objects across build folders and clean clones on this machine:
# paths are taken relative to the checkout, so a clone elsewhere hits the same entries.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
if [ -n "${BUILD_DIR:-}" ]; then
    cmake --preset "$PRESET" -B "$BUILD_DIR" "$@" > /dev/null
    cmake --build "$BUILD_DIR" -j2
else
    cmake --preset "$PRESET" "$@" > /dev/null
    cmake --build --preset "$PRESET"
fi
