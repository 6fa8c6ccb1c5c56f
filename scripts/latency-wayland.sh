#!/usr/bin/env bash
# Launch to first frame of the Wayland host: full screen (/s) in a private headless sway
# (one output, software rendering), with and without a frame-rate record, interleaved run
# by run. The first frame is the first eglSwapBuffers, taken by the same preloaded shim as
# scripts/latency.sh.
# Usage: scripts/latency-wayland.sh [runs per case (40)]   (BASELINE=/path adds another build)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
install_packages sway python3 gcc libegl-dev libgl-dev
RUNS=${1:-40}
BUILD_DIR=${BUILD_DIR:-build}
PROGRAM=$PWD/$BUILD_DIR/src/kinetora
[ -x "$PROGRAM" ] || { echo "build first: $PROGRAM is missing" >&2; exit 1; }
# The compositor's user must reach the shim.
WORK=$(mktemp -d /tmp/kinetora-latency-wl.XXXXXX)
chmod 755 "$WORK"
trap 'rm -rf "$WORK"' EXIT
cc -O2 -shared -fPIC -o "$WORK/first_swap.so" scripts/latency/first_swap.c -ldl
tests/host/wayland/with-compositor.sh --outputs 1 /usr/bin/python3 scripts/latency/latency.py \
    "$PROGRAM" --runs "$RUNS" --shim "$WORK/first_swap.so" --only launch --wayland \
    ${BASELINE:+--baseline "$BASELINE"}
