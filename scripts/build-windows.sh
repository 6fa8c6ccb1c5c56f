#!/usr/bin/env bash
# Cross-builds the Windows screen saver Kinetora.scr with mingw-w64.
# Usage: scripts/build-windows.sh [build folder]   (default: build-windows)
#
# libjpeg-turbo, libpng and libwebp come from Debian's own source packages and are built once
# into a prefix outside the checkout, $KINETORA_CACHE (default
# ${XDG_CACHE_HOME:-~/.cache}/kinetora), in a folder named after the versions of the
# compiler, zlib, the three sources and GoogleTest: a new version of any of them builds a
# new prefix, and clean clones reuse it. HEIC and AVIF are left out of the Windows build.
# The saver links the C and C++ runtimes statically, so the .scr is one file that needs only
# the system's DLLs. Extra CMake options for the saver's build go in KINETORA_WIN_CMAKE_ARGS;
# KINETORA_WIN_TESTS=1 also builds the unit suite and the preview test's parent.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=$(realpath -m "${1:-build-windows}")
TRIPLE=x86_64-w64-mingw32
SYSROOT=/usr/$TRIPLE
TOOLCHAIN=$ROOT/cmake/mingw-w64.cmake
# Raised when the way the libraries are built changes, so cached prefixes are rebuilt.
RECIPE=2

. scripts/lib/packages.sh
install_packages g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64 wine nasm cmake \
    ninja-build dpkg-dev googletest ccache xz-utils

CACHE=${KINETORA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kinetora}
APT=$CACHE/apt
mkdir -p "$APT/sources.list.d" "$APT/lists/partial" "$APT/cache/archives/partial"
# The decoders' sources, from the main suite of the Debian release this machine runs, with
# a private list folder: the machine's own package lists stay as they are. The lists are
# kept in the cache; without a network the ones from the last run name the versions.
SUITE=$(. /etc/os-release && echo "$VERSION_CODENAME")
echo "deb-src http://deb.debian.org/debian $SUITE main" > "$APT/sources.list.d/kinetora-src.list"
APT_OPTS=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$APT/sources.list.d"
    -o "Dir::State::Lists=$APT/lists" -o "Dir::Cache=$APT/cache"
    -o "APT::Sandbox::User=$(id -un)")
apt-get "${APT_OPTS[@]}" -qq update ||
    echo "build-windows: source lists not updated, using the cached ones" >&2

source_version() {
    apt-cache "${APT_OPTS[@]}" showsrc --only-source "$1" 2> /dev/null |
        awk '/^Version:/ {print $2}' | sort -V | tail -n 1
}
installed_version() { dpkg-query -W -f='${Version}' "$1"; }
JPEG_VERSION=$(source_version libjpeg-turbo)
PNG_VERSION=$(source_version libpng1.6)
WEBP_VERSION=$(source_version libwebp)
[ -n "$JPEG_VERSION" ] && [ -n "$PNG_VERSION" ] && [ -n "$WEBP_VERSION" ] || {
    echo "build-windows: no source versions of libjpeg-turbo, libpng1.6 and libwebp" \
        "(no network?)" >&2
    exit 1
}
KEY="mingw-$(installed_version g++-mingw-w64-x86-64-posix)"
KEY+="_z-$(installed_version libz-mingw-w64-dev)_jpeg-${JPEG_VERSION}_png-${PNG_VERSION}"
KEY+="_webp-${WEBP_VERSION}"
KEY+="_gtest-$(installed_version googletest)_r$RECIPE"
KEY=${KEY//[:\/]/_}
DEPS=$CACHE/$KEY
PREFIX=$DEPS/prefix

# The libraries, once per key. A lock keeps two builds at once from both making them.
build_deps() {
    local work=$DEPS/work
    rm -rf "$work" "$PREFIX"
    mkdir -p "$work/src"
    (
        cd "$work/src"
        apt-get "${APT_OPTS[@]}" -qq source --download-only "libjpeg-turbo=$JPEG_VERSION" \
            "libpng1.6=$PNG_VERSION" "libwebp=$WEBP_VERSION"
        for dsc in ./*.dsc; do
            dpkg-source --no-check -x "$dsc" > /dev/null
        done
    )
    local jpeg png webp
    jpeg=$(find "$work/src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
    png=$(find "$work/src" -maxdepth 1 -type d -name 'libpng1.6-*' | head -n 1)
    webp=$(find "$work/src" -maxdepth 1 -type d -name 'libwebp-*' | head -n 1)
    [ -n "$jpeg" ] && [ -n "$png" ] && [ -n "$webp" ] ||
        { echo "build-windows: sources not unpacked" >&2; exit 1; }
    local common=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DKINETORA_MINGW_PREFIX="$PREFIX"
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" -Wno-dev)

    cmake -S "$jpeg" -B "$work/build-jpeg" "${common[@]}" -DCMAKE_ASM_NASM_COMPILER=nasm \
        -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON > /dev/null
    cmake --build "$work/build-jpeg" -j2 > /dev/null
    cmake --install "$work/build-jpeg" > /dev/null

    cmake -S "$png" -B "$work/build-png" "${common[@]}" -DPNG_SHARED=OFF -DPNG_STATIC=ON \
        -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DZLIB_LIBRARY="$SYSROOT/lib/libz.a" \
        -DZLIB_INCLUDE_DIR="$SYSROOT/include" > /dev/null
    cmake --build "$work/build-png" -j2 > /dev/null
    cmake --install "$work/build-png" > /dev/null

    # The decoder, the demuxer (first frames and EXIF chunks) and the muxer the unit suite
    # makes its test pictures with; none of the command-line tools.
    cmake -S "$webp" -B "$work/build-webp" "${common[@]}" -DBUILD_SHARED_LIBS=OFF \
        -DWEBP_BUILD_ANIM_UTILS=OFF -DWEBP_BUILD_CWEBP=OFF -DWEBP_BUILD_DWEBP=OFF \
        -DWEBP_BUILD_GIF2WEBP=OFF -DWEBP_BUILD_IMG2WEBP=OFF -DWEBP_BUILD_VWEBP=OFF \
        -DWEBP_BUILD_WEBPINFO=OFF -DWEBP_BUILD_WEBPMUX=OFF -DWEBP_BUILD_EXTRAS=OFF \
        -DWEBP_BUILD_LIBWEBPMUX=ON > /dev/null
    cmake --build "$work/build-webp" -j2 > /dev/null
    cmake --install "$work/build-webp" > /dev/null

    # GoogleTest for the unit suite that runs under Wine, from the machine's own sources.
    cmake -S /usr/src/googletest -B "$work/build-gtest" "${common[@]}" \
        -Dgtest_disable_pthreads=OFF > /dev/null
    cmake --build "$work/build-gtest" -j2 > /dev/null
    cmake --install "$work/build-gtest" > /dev/null
    rm -rf "$work"
    touch "$PREFIX/.complete"
}
mkdir -p "$DEPS"
(
    flock 9
    if [ ! -e "$PREFIX/.complete" ]; then
        echo "== building libjpeg-turbo, libpng, libwebp and GoogleTest for Windows into $PREFIX =="
        build_deps
        # Prefixes of other versions are not used again.
        find "$CACHE" -mindepth 1 -maxdepth 1 -type d -name 'mingw-*' ! -name "$KEY" \
            -exec rm -rf {} +
    fi
) 9> "$CACHE/.lock"

# The saver (and, with KINETORA_WIN_TESTS set, the unit suite and the preview test's parent).
TESTS=OFF
TARGETS=(Kinetora)
if [ -n "${KINETORA_WIN_TESTS:-}" ]; then
    TESTS=ON
    TARGETS+=(kinetora_win_tests kinetora_preview_parent)
fi
# ccache keeps the objects across build folders and clean clones on this machine: paths
# are taken relative to the checkout, so a clone elsewhere hits the same entries.
export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=1
# shellcheck disable=SC2086
cmake -S "$ROOT" --preset windows -B "$BUILD" -DKINETORA_MINGW_PREFIX="$PREFIX" \
    -DKINETORA_TESTS=$TESTS ${KINETORA_WIN_CMAKE_ARGS:-} > /dev/null
cmake --build "$BUILD" -j2 --target "${TARGETS[@]}"
# The help page sits beside the saver (where "InstallFolder" points when no installer set it).
cp res/Kinetora.htm "$BUILD/Kinetora.htm"
echo "built $BUILD/Kinetora.scr ($(stat -c %s "$BUILD/Kinetora.scr") bytes)"
