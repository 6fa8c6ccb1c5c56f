#!/usr/bin/env bash
# Measures what a huge picture folder costs a run: an off-screen render of one frame with
# a folder of N files (default 100000; all but one empty, so each photo scene finds a
# broken picture or the one real one), against the same render with no folder. Prints the
# wall time and peak RSS of both, and the difference.
# Usage: scripts/bench-folders.sh [build folder] [N]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
N=${2:-100000}
PROGRAM="$BUILD/src/kinetora"
[ -x "$PROGRAM" ] || { echo "no $PROGRAM: build first" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/pics" "$WORK/empty" "$WORK/config"
# Names of every kind the listing meets: all five patterns, upper case, not UTF-8.
python3 - "$WORK/pics" "$N" <<'PY'
import os, sys
folder, n = sys.argv[1], int(sys.argv[2])
kinds = [b".jpg", b".JPG", b".jpe", b".jpeg", b".png", b".bmp", b".txt"]
base = os.fsencode(folder)
for i in range(n):
    name = b"%07d-\xff%s" % (i, kinds[i % len(kinds)])
    os.close(os.open(os.path.join(base, name), os.O_CREAT | os.O_WRONLY, 0o644))
PY

run() {
    DISPLAY= XDG_CONFIG_HOME="$WORK/config" /usr/bin/time -o "$WORK/time" -f "%e %M" \
        "$PROGRAM" --render "$WORK/out.png" --frames 1 --size 64x48 --seed 3 --image-prob 100 \
        --images "$1" > /dev/null 2> "$WORK/err" || { cat "$WORK/err" >&2; exit 1; }
    tail -n 1 "$WORK/time"
}
# Warm the file cache and the GL driver first.
run "$WORK/pics" > /dev/null
read -r t0 m0 <<< "$(run "$WORK/empty")"
read -r t1 m1 <<< "$(run "$WORK/pics")"
echo "files: $N"
echo "no folder:      ${t0} s, peak RSS ${m0} KB"
echo "with the folder: ${t1} s, peak RSS ${m1} KB"
echo "difference:      $(python3 -c "print(round($t1 - $t0, 3))") s, $((m1 - m0)) KB"
