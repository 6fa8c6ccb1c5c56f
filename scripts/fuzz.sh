#!/usr/bin/env bash
# Builds the image decoder fuzzers with clang (AddressSanitizer and UndefinedBehaviorSanitizer)
# into build-fuzz/ and runs each for the given number of seconds (default 60), starting from a
# seed corpus of small generated pictures. A crash, a sanitizer report or a hang longer than
# 25 s stops the script with an error; the failing input is left in build-fuzz/artifacts/.
# Usage: scripts/fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."

SECONDS_EACH=${1:-60}
OUT=build-fuzz

cmake -S . -B "$OUT" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKINETORA_FUZZ=ON -DKINETORA_TESTS=OFF > /dev/null
cmake --build "$OUT" -j2 --target fuzz_bmp fuzz_jpeg fuzz_png fuzz_seeds

"$OUT/fuzz/fuzz_seeds" "$OUT/seeds"
mkdir -p "$OUT/artifacts"
for kind in bmp jpeg png; do
    echo "== fuzz_$kind for ${SECONDS_EACH} s =="
    mkdir -p "$OUT/corpus/$kind"
    log="$OUT/fuzz_$kind.log"
    if ! "$OUT/fuzz/fuzz_$kind" "$OUT/corpus/$kind" "$OUT/seeds/$kind" \
        -max_total_time="$SECONDS_EACH" -timeout=25 -rss_limit_mb=2048 \
        -artifact_prefix="$OUT/artifacts/$kind-" -print_final_stats=1 > "$log" 2>&1; then
        tail -n 40 "$log"
        echo "fuzz_$kind failed: see $log and $OUT/artifacts/"
        exit 1
    fi
    grep -E "^Done [0-9]+ runs|^stat::(number_of_executed_units|peak_rss_mb)" "$log"
done
