#!/bin/sh
# Renders the README's pictures with the program itself, off screen (no X server needed):
# a few fixed seeds, each after enough frames for the shapes to have left their start, and
# a few seconds of one seed as an animated WebP, recorded with --record and encoded by
# ffmpeg (installed when missing). A seed replays exactly, so the pictures change only when
# the drawing does.
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

command -v ffmpeg > /dev/null || {
    . "$root/scripts/lib/packages.sh"
    install_packages ffmpeg
}
# Seconds 4 to 8 of seed 11, the shapes well under way; every other frame, so the file
# stays small (12.5 frames a second look smooth enough in a page).
out="$root/docs/scene-11.webp"
XDG_CONFIG_HOME="$config" DISPLAY= "$program" --record - --seed 11 --seconds 8 --size 320x240 |
    ffmpeg -v error -y -f yuv4mpegpipe -i - -vf "trim=start=4,setpts=PTS-STARTPTS,fps=12.5" \
        -c:v libwebp_anim -quality 60 -compression_level 6 -loop 0 -an "$out"
echo "$out"
