#!/usr/bin/env bash
# Cross-builds the host-free engine and shell library (every layer below src/host) for
# 64-bit Windows with mingw-w64, without the JPEG and PNG decoders. It shows that nothing
# below the hosts names a platform API.
# Usage: scripts/build-mingw-engine.sh [build folder]   (default: build-mingw-engine)
# Needs g++-mingw-w64-x86-64-posix (apt-get install g++-mingw-w64-x86-64-posix).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build-mingw-engine}

if ! command -v x86_64-w64-mingw32-g++-posix > /dev/null; then
    echo "build-mingw-engine: x86_64-w64-mingw32-g++-posix not found;" \
        "install g++-mingw-w64-x86-64-posix" >&2
    exit 1
fi
# The preset compiles through ccache; without it, plainly.
LAUNCHER=()
command -v ccache > /dev/null ||
    LAUNCHER=(-DCMAKE_C_COMPILER_LAUNCHER= -DCMAKE_CXX_COMPILER_LAUNCHER=)
cmake --preset mingw-engine -B "$BUILD" "${LAUNCHER[@]}" > /dev/null
cmake --build "$BUILD" -j2 --target kinetora_engine
echo "built $(find "$BUILD" -name libkinetora_engine.a)"
