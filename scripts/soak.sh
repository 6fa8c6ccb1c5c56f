#!/usr/bin/env bash
# Long leak and memory soak: builds the saver with AddressSanitizer, UndefinedBehaviorSanitizer
# and leak checking (Debug) into build-soak-asan/ and runs the benchmark for many short
# scenes, off screen, at the lowest priority, with photographs in some scenes. Fails when a
# sanitizer reports anything, when the run ends early, or when what the scenes leave alive is
# not flat from scene 50 on: display lists (beyond the primitive solids' cache, which holds one
# list per size drawn and so is bounded), textures, photographs and texture objects must stay
# at their scene-50 counts, and resident memory over
# the last 50 scenes must stay within 10 % (at least 16 MB) of its most over scenes 50 to 99.
#
# Usage: scripts/soak.sh [scenes] [frames a scene]    (defaults 500 and 4; scenes >= 100)
# The benchmark's output is kept in build-soak-asan/soak.log.
set -euo pipefail
cd "$(dirname "$0")/.."

SCENES=${1:-500}
FRAMES=${2:-4}
if ! [[ "$SCENES" =~ ^[0-9]+$ ]] || [ "$SCENES" -lt 100 ] || ! [[ "$FRAMES" =~ ^[0-9]+$ ]] ||
    [ "$FRAMES" -lt 1 ]; then
    echo "usage: scripts/soak.sh [scenes, at least 100] [frames a scene]" >&2
    exit 2
fi

OUT=${SOAK_BUILD_DIR:-build-soak-asan}
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake --preset soak -B "$OUT" > /dev/null
nice -n 19 cmake --build "$OUT" -j2 --target kinetora
BIN=$OUT/src/kinetora

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/config" "$WORK/photos"

# Mesa's software rasteriser frees some of LLVM's buffers with free(): not our mismatch; its
# process-lifetime allocations are suppressed by name (tests/lsan.supp). A small quarantine
# keeps the resident memory about what the program holds, not what the sanitizer delays.
export ASAN_OPTIONS=detect_leaks=1:alloc_dealloc_mismatch=0:quarantine_size_mb=16
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export XDG_CONFIG_HOME=$WORK/config
unset DISPLAY

# Photographs the program draws itself (PNG), so that photograph scenes and photo cubes
# come up without any other tool.
for seed in 3 8 12; do
    nice -n 19 "$BIN" --render "$WORK/photos/seed-$seed.png" --seed "$seed" --size 400x300 \
        > /dev/null
done

LOG=$OUT/soak.log
status=0
nice -n 19 "$BIN" --bench --scenes "$SCENES" --frames "$FRAMES" --seconds 86400 --seed 1 \
    --size 320x240 --images "$WORK/photos" --image-prob 30 > "$LOG" 2> "$OUT/soak.err" ||
    status=$?
cat "$OUT/soak.err" >&2
if [ "$status" -ne 0 ]; then
    echo "soak: the benchmark ended with status $status (output in $LOG)" >&2
    exit 1
fi
if grep -qE "Sanitizer|runtime error" "$OUT/soak.err"; then
    echo "soak: sanitizer report (above)" >&2
    exit 1
fi

python3 - "$LOG" "$SCENES" << 'EOF'
import re, statistics, sys

log, wanted = sys.argv[1], int(sys.argv[2])
line_re = re.compile(r"live lists (\d+) textures (\d+) photos (\d+) texture objects (\d+) "
                     r"cached lists (\d+)\s+rss ([\d.]+) MB")
scenes = [tuple(float(g) for g in m.groups()) for m in map(line_re.search, open(log)) if m]
if len(scenes) != wanted:
    sys.exit(f"soak: {len(scenes)} scenes in {log}, {wanted} wanted")
names = ["live lists", "textures", "photos", "texture objects"]
at50, last = scenes[49], scenes[-1]
bad = []
for k, name in enumerate(names):
    later = [s[k] for s in scenes[49:]]
    if max(later) > at50[k]:
        bad.append(f"{name} grow after scene 50: {at50[k]:.0f} then up to {max(later):.0f}")
rss = [s[5] for s in scenes]
early, late = max(rss[49:99]), max(rss[-50:])
allowed = early + max(16.0, early * 0.10)
if late > allowed:
    bad.append(f"resident memory grows: most {early:.1f} MB over scenes 50-99, "
               f"{late:.1f} MB over the last 50 (allowed {allowed:.1f})")
print(f"soak: {len(scenes)} scenes; at scene 50: lists {at50[0]:.0f} (cache {at50[4]:.0f}), "
      f"textures {at50[1]:.0f}, photos {at50[2]:.0f}, texture objects {at50[3]:.0f}, "
      f"rss {at50[5]:.1f} MB; at scene {len(scenes)}: lists {last[0]:.0f} "
      f"(cache {last[4]:.0f}), textures {last[1]:.0f}, photos {last[2]:.0f}, texture objects "
      f"{last[3]:.0f}, rss {last[5]:.1f} MB; rss most {early:.1f} MB (scenes 50-99), "
      f"{late:.1f} MB (last 50), median {statistics.median(rss[49:99]):.1f} / "
      f"{statistics.median(rss[-50:]):.1f} MB")
if bad:
    sys.exit("soak: not flat: " + "; ".join(bad))
EOF
echo "soak: no sanitizer report, flat from scene 50 to scene $SCENES"
