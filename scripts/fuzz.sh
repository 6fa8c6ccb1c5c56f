#!/usr/bin/env bash
# Builds the image decoder fuzzers (bmp, jpeg, png, webp, heif for HEIC and AVIF, and exif for
# the orientation reader) with clang (AddressSanitizer and UndefinedBehaviorSanitizer) into
# build-fuzz/ and runs them, starting from the kept corpus in fuzz/corpus/<decoder>/ and a
# seed corpus of small generated pictures. A crash, a sanitizer report or a hang longer than
# 25 s stops the script with an error; the failing input is left in build-fuzz/artifacts/.
#
# Usage: scripts/fuzz.sh [seconds]
#            Short run of each decoder for the given seconds (default 60).
#        scripts/fuzz.sh --long <bmp|jpeg|png|webp|heif|exif> <executions>
#            Long campaign of one decoder, at the lowest priority, in one process. New inputs
#            collect in build-fuzz/corpus/<decoder>/, so a later run resumes where this one
#            stopped; at the end fuzz/corpus/<decoder>/ is replaced by the smallest set of
#            inputs that covers all of it (commit it). Each run adds a line to
#            build-fuzz/campaign.log: date, decoder, executions, seconds, corpus files.
set -euo pipefail
cd "$(dirname "$0")/.."

OUT=build-fuzz
LONG_KIND=""
if [ "${1:-}" = "--long" ]; then
    if [ $# -ne 3 ] || ! [[ "$2" =~ ^(bmp|jpeg|png|webp|heif|exif)$ ]] ||
        ! [[ "$3" =~ ^[0-9]+$ ]]; then
        echo "usage: scripts/fuzz.sh --long <bmp|jpeg|png|webp|heif|exif> <executions>" >&2
        exit 2
    fi
    LONG_KIND=$2
    LONG_RUNS=$3
else
    SECONDS_EACH=${1:-60}
fi

cmake --preset fuzz -B "$OUT" > /dev/null
KINDS=(bmp jpeg png webp heif exif)
cmake --build "$OUT" -j2 --target "${KINDS[@]/#/fuzz_}" fuzz_seeds

"$OUT/fuzz/fuzz_seeds" "$OUT/seeds"
mkdir -p "$OUT/artifacts"
NICE=()
[ -n "$LONG_KIND" ] && NICE=(nice -n 19)

# Runs one decoder's fuzzer with the given limit options; new inputs go to build-fuzz/corpus.
run() {
    local kind=$1 log=$2
    shift 2
    mkdir -p "$OUT/corpus/$kind" "fuzz/corpus/$kind"
    if ! LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp" "${NICE[@]}" "$OUT/fuzz/fuzz_$kind" "$OUT/corpus/$kind" "fuzz/corpus/$kind" \
        "$OUT/seeds/$kind" -timeout=25 -rss_limit_mb=2048 -print_final_stats=1 "$@" \
        -artifact_prefix="$OUT/artifacts/$kind-" > "$log" 2>&1; then
        tail -n 40 "$log"
        echo "fuzz_$kind failed: see $log and $OUT/artifacts/"
        exit 1
    fi
    grep -E "^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)" "$log"
}

if [ -z "$LONG_KIND" ]; then
    for kind in "${KINDS[@]}"; do
        echo "== fuzz_$kind for ${SECONDS_EACH} s =="
        run "$kind" "$OUT/fuzz_$kind.log" -max_total_time="$SECONDS_EACH"
    done
    exit 0
fi

kind=$LONG_KIND
log="$OUT/fuzz_$kind-long.log"
echo "== fuzz_$kind for $LONG_RUNS executions (log: $log) =="
start=$(date +%s)
run "$kind" "$log" -runs="$LONG_RUNS"
seconds=$(($(date +%s) - start))
executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")

# Keep the smallest set of inputs that covers everything found so far.
merged="$OUT/merged-$kind"
rm -rf "$merged"
mkdir -p "$merged"
nice -n 19 "$OUT/fuzz/fuzz_$kind" -merge=1 "$merged" "fuzz/corpus/$kind" "$OUT/corpus/$kind" \
    "$OUT/seeds/$kind" > "$OUT/merge-$kind.log" 2>&1
rm -rf "fuzz/corpus/$kind"
mv "$merged" "fuzz/corpus/$kind"
files=$(find "fuzz/corpus/$kind" -type f | wc -l)
bytes=$(du -sb "fuzz/corpus/$kind" | cut -f1)
echo "$(date -u +%FT%TZ) $kind executions=$executed seconds=$seconds corpus_files=$files" \
    "corpus_bytes=$bytes" | tee -a "$OUT/campaign.log"
