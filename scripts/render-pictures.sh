#!/bin/sh
# Renders the README's pictures with the program itself, off screen (no X server needed):
# a few fixed seeds, each after enough frames for the shapes to have left their start.
# A seed replays exactly, so the pictures change only when the drawing does.
#
# usage: scripts/render-pictures.sh [PROGRAM]    (default: build/src/kinetora)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$root/build/src/kinetora}
[ -x "$program" ] || { echo "render-pictures.sh: no program at $program (build it first)" >&2; exit 1; }

# Private, empty settings: the pictures must not depend on this machine's record or folders.
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT

for seed in 3 8 12 40; do
    out="$root/docs/scene-$seed.png"
    XDG_CONFIG_HOME="$config" DISPLAY= "$program" --render "$out" --seed "$seed" \
        --frames 150 --size 480x360
    echo "$out"
done
