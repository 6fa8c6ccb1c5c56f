#!/usr/bin/env bash
# Stop latency and launch time, measured from outside: SIGTERM, SIGINT or a key at random
# moments of a run (start-up, the first-run speed test, composition, 12-megapixel
# photographs, a huge stored budget) to process end, and launch to first frame beside
# XScreenSaver's gears, in a private Xvfb at 1024x768 with software GL.
# Usage: scripts/latency.sh [runs per case (40)] [case,case,...]
# Cases: launch term-hosted term-fresh int-hosted key-full term-huge term-bench-huge
#        term-sheet term-photo key-photo term-gears (all by default).
# BASELINE=/path/to/another/kinetora adds that build's launch cases to the same rounds.
# Needs the build in ${BUILD_DIR:-build}; installs what else it needs (xvfb, python3-xlib, cjpeg for
# the photograph, and for the comparison xscreensaver-gl's gears).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
install_packages xvfb python3-xlib x11-utils python3 gcc libegl-dev libgl-dev libjpeg-turbo-progs \
    xscreensaver-gl
RUNS=${1:-40}
ONLY=${2:-}
BUILD_DIR=${BUILD_DIR:-build}
PROGRAM=$PWD/$BUILD_DIR/src/kinetora
[ -x "$PROGRAM" ] || { echo "build first: $PROGRAM is missing" >&2; exit 1; }
WORK=$(mktemp -d /tmp/kinetora-latency.XXXXXX)
XVFB_PID=
cleanup() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT

cc -O2 -shared -fPIC -o "$WORK/first_swap.so" scripts/latency/first_swap.c -ldl

# One 12-megapixel photograph (4000x3000) of smooth colour and noise.
mkdir -p "$WORK/photos"
python3 - "$WORK/photos/photo.ppm" <<'PY'
import random, sys
w, h = 4000, 3000
random.seed(12)
base = bytes(random.randrange(256) if i % 7 == 0 else (i * 255 // (w * 6)) for i in range(w * 6))
with open(sys.argv[1], "wb") as f:
    f.write(b"P6 %d %d 255\n" % (w, h))
    for y in range(h):
        off = (y * 37) % (w * 3)
        f.write(base[off:off + w * 3])
PY
cjpeg -quality 90 "$WORK/photos/photo.ppm" > "$WORK/photos/photo.jpg"
rm -f "$WORK/photos/photo.ppm"

# A display number of our own, away from the low ones that test servers pick (-displayfd
# starts at 0, and a test that kills its server removes that number's socket): a number is
# ours once our server still runs after answering.
for _ in $(seq 20); do
    DISPLAY_NUM=$((300 + RANDOM % 600))
    [ -e "/tmp/.X$DISPLAY_NUM-lock" ] && continue
    # -noreset: a server whose last client leaves starts over, and resets the connection of
    # a client that comes meanwhile; under a daemon's session some client always stays.
    Xvfb ":$DISPLAY_NUM" -screen 0 1024x768x24 -nolisten tcp -noreset > /dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 50); do
        xdpyinfo -display ":$DISPLAY_NUM" > /dev/null 2>&1 && break
        kill -0 "$XVFB_PID" 2> /dev/null || break
        sleep 0.1
    done
    kill -0 "$XVFB_PID" 2> /dev/null && break
    XVFB_PID=
done
[ -n "$XVFB_PID" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$DISPLAY_NUM" LIBGL_ALWAYS_SOFTWARE=1
for _ in $(seq 50); do xdpyinfo > /dev/null 2>&1 && break; sleep 0.1; done

PHOTO_ARGS=()
[ -f "$WORK/photos/photo.jpg" ] && PHOTO_ARGS=(--photo-dir "$WORK/photos")
# Debian's interpreter, which has the X library the package above installs.
/usr/bin/python3 scripts/latency/latency.py "$PROGRAM" --runs "$RUNS" --shim "$WORK/first_swap.so" \
    --only "$ONLY" ${BASELINE:+--baseline "$BASELINE"} "${PHOTO_ARGS[@]}"
