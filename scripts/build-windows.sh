#!/usr/bin/env bash
# Cross-builds the Windows screen saver Kinetora.scr with mingw-w64.
# Usage: scripts/build-windows.sh [build folder]   (default: build-windows)
#
# libjpeg-turbo and libpng come from Debian's own source packages and are built once into
# <build folder>/deps/prefix; later builds reuse them. The saver links the C and C++
# runtimes statically, so the .scr is one file that needs only the system's DLLs.
# Extra CMake options for the saver's build can be given in KINETORA_WIN_CMAKE_ARGS.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=$(realpath -m "${1:-build-windows}")
DEPS=$BUILD/deps
PREFIX=$DEPS/prefix
TRIPLE=x86_64-w64-mingw32
SYSROOT=/usr/$TRIPLE

PACKAGES=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64 wine nasm cmake ninja-build
    dpkg-dev)
missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    echo "Installing: ${missing[*]}"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

mkdir -p "$DEPS"

# One toolchain file for the libraries and the saver: the posix-thread compilers (they
# give std::thread), and find_* looking in the mingw sysroot and our prefix only.
TOOLCHAIN=$DEPS/toolchain.cmake
cat > "$TOOLCHAIN.new" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $TRIPLE-gcc-posix)
set(CMAKE_CXX_COMPILER $TRIPLE-g++-posix)
set(CMAKE_RC_COMPILER $TRIPLE-windres)
set(CMAKE_ASM_NASM_COMPILER nasm)
set(CMAKE_FIND_ROOT_PATH $SYSROOT $PREFIX)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Static libraries first, so zlib is linked in rather than needed as a DLL.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a .lib)
EOF
cmp -s "$TOOLCHAIN.new" "$TOOLCHAIN" && rm "$TOOLCHAIN.new" || mv "$TOOLCHAIN.new" "$TOOLCHAIN"

# The decoders, from the Debian release this machine runs.
build_deps() {
    local suite
    suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
    local apt=$DEPS/apt
    mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$DEPS/src"
    echo "deb-src http://deb.debian.org/debian $suite main" > "$apt/sources.list.d/kinetora-src.list"
    # A private list folder: the machine's own package lists stay as they are.
    local opts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt/sources.list.d"
        -o "Dir::State::Lists=$apt/lists")
    apt-get "${opts[@]}" -qq update
    (
        cd "$DEPS/src"
        rm -rf ./*
        apt-get "${opts[@]}" -qq source --download-only libjpeg-turbo libpng1.6
        for dsc in ./*.dsc; do
            dpkg-source --no-check -x "$dsc" > /dev/null
        done
    )
    local jpeg png
    jpeg=$(find "$DEPS/src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
    png=$(find "$DEPS/src" -maxdepth 1 -type d -name 'libpng1.6-*' | head -n 1)
    [ -n "$jpeg" ] && [ -n "$png" ] || { echo "build-windows: sources not unpacked" >&2; exit 1; }

    cmake -S "$jpeg" -B "$DEPS/build-jpeg" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" -DENABLE_SHARED=OFF \
        -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON -Wno-dev > /dev/null
    cmake --build "$DEPS/build-jpeg" -j2 > /dev/null
    cmake --install "$DEPS/build-jpeg" > /dev/null

    cmake -S "$png" -B "$DEPS/build-png" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" -DPNG_SHARED=OFF \
        -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
        -DZLIB_LIBRARY="$SYSROOT/lib/libz.a" -DZLIB_INCLUDE_DIR="$SYSROOT/include" > /dev/null
    cmake --build "$DEPS/build-png" -j2 > /dev/null
    cmake --install "$DEPS/build-png" > /dev/null
    touch "$PREFIX/.complete"
}

# GoogleTest for the unit suite that runs under Wine, from the machine's own googletest.
build_gtest() {
    cmake -S /usr/src/googletest -B "$DEPS/build-gtest" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$PREFIX" -Dgtest_disable_pthreads=OFF > /dev/null
    cmake --build "$DEPS/build-gtest" -j2 > /dev/null
    cmake --install "$DEPS/build-gtest" > /dev/null
    touch "$PREFIX/.gtest-complete"
}

if [ ! -e "$PREFIX/.complete" ]; then
    echo "== building libjpeg-turbo and libpng for Windows into $PREFIX =="
    build_deps
fi
if [ -n "${KINETORA_WIN_TESTS:-}" ] && [ ! -e "$PREFIX/.gtest-complete" ]; then
    echo "== building GoogleTest for Windows into $PREFIX =="
    build_gtest
fi

# The saver (and, with KINETORA_WIN_TESTS set, the unit suite and the preview test's parent).
TESTS=OFF
TARGETS=(Kinetora)
if [ -n "${KINETORA_WIN_TESTS:-}" ]; then
    TESTS=ON
    TARGETS+=(kinetora_win_tests kinetora_preview_parent)
fi
LAUNCHER=()
command -v ccache > /dev/null &&
    LAUNCHER=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# shellcheck disable=SC2086
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_EXE_LINKER_FLAGS_RELEASE=-s -DKINETORA_TESTS=$TESTS \
    -DKINETORA_WERROR=ON "${LAUNCHER[@]}" ${KINETORA_WIN_CMAKE_ARGS:-} > /dev/null
cmake --build "$BUILD" -j2 --target "${TARGETS[@]}"
# The help page sits beside the saver (where "InstallFolder" points when no installer set it).
cp res/Kinetora.htm "$BUILD/Kinetora.htm"
echo "built $BUILD/Kinetora.scr ($(stat -c %s "$BUILD/Kinetora.scr") bytes)"
