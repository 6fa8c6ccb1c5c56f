#!/usr/bin/env bash
# Sets up, builds and runs the saver: in a window when there is a display, otherwise it
# renders frames off screen and says where the picture is.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
if [ -n "${DISPLAY:-}" ] && xdpyinfo > /dev/null 2>&1; then
    exec build/src/kinetora --window "$@"
fi
OUT="$PWD/build/kinetora-frame.png"
build/src/kinetora --render "$OUT" --frames 300 "$@"
echo "No display: rendered a frame off screen to $OUT"
