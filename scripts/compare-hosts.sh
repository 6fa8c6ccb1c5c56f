#!/usr/bin/env bash
# The same scene full screen on the Wayland host (sway headless, one 1280x720 output) and on
# the X11 host (Xvfb at 1280x720), both with Mesa's software rasteriser: launch to first
# frame, frame rate, processor time per frame and SIGTERM to the end, as medians of RUNS runs
# side by side.
# Usage: scripts/compare-hosts.sh [runs (5)] [seconds a run (10)]
# Run as root (the compositor runs as the tests' user); needs the build in ${BUILD_DIR:-build}.
set -euo pipefail
cd "$(dirname "$0")/.."
RUNS=${1:-5}
SECONDS_A_RUN=${2:-10}
BUILD_DIR=${BUILD_DIR:-build}
PROGRAM=$PWD/$BUILD_DIR/src/kinetora
[ -x "$PROGRAM" ] || { echo "build first: $PROGRAM is missing" >&2; exit 1; }
WORK=$(mktemp -d /tmp/kinetora-hosts.XXXXXX)
chmod 755 "$WORK"
XVFB_PID=
cleanup() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2> /dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT
cc -O2 -shared -fPIC -o "$WORK/swap_count.so" scripts/latency/swap_count.c -ldl
cp scripts/latency/host_run.py "$WORK/"
# A fixed budget and seed: both hosts draw the same frames.
ARGS=(/s --seed 5 --polygons 3000)
export LIBGL_ALWAYS_SOFTWARE=1

for n in $(seq 140 170); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
done
Xvfb ":$n" -screen 0 1280x720x24 -nolisten tcp > /dev/null 2>&1 &
XVFB_PID=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done

: > "$WORK/x11.txt"
: > "$WORK/wayland.txt"
for run in $(seq "$RUNS"); do
    env -u WAYLAND_DISPLAY DISPLAY=":$n" python3 "$WORK/host_run.py" "$WORK/swap_count.so" \
        "$PROGRAM" "$SECONDS_A_RUN" "${ARGS[@]}" >> "$WORK/x11.txt"
    tests/host/wayland/with-compositor.sh --outputs 1 env LIBGL_ALWAYS_SOFTWARE=1 python3 \
        "$WORK/host_run.py" "$WORK/swap_count.so" "$PROGRAM" "$SECONDS_A_RUN" "${ARGS[@]}" \
        | grep '^{' >> "$WORK/wayland.txt"
    echo "run $run of $RUNS done" >&2
done

python3 - "$WORK/x11.txt" "$WORK/wayland.txt" << 'PY'
import json, statistics, sys
runs = [[json.loads(line) for line in open(path) if line.strip()] for path in sys.argv[1:]]
print(f"{'median of %d runs' % len(runs[0]):<26}{'X11 (Xvfb)':>14}{'Wayland (sway)':>16}")
for key, label in (("fps", "frames a second"), ("cpu_ms_per_frame", "CPU ms a frame"),
                   ("launch_ms", "launch to first frame ms"),
                   ("sigterm_to_end_ms", "SIGTERM to end ms")):
    x, w = (statistics.median(r[key] for r in host) for host in runs)
    print(f"{label:<26}{x:>14.2f}{w:>16.2f}")
PY
