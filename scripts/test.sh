#!/usr/bin/env bash
# Sets up, builds (warnings as errors) and runs every test: the unit and display tests,
# then the unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer, the
# Debian package, a short fuzzing run, and the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

PRESET=ci scripts/setup.sh

# Window tests need an X server: start a private Xvfb when there is no display.
XVFB_PID=""
cleanup() { [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true; }
if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 90 120); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
        break
    done
fi

# Runs CTest, keeping its output so the totals can be summed at the end.
PASSED=0
FAILED=0
CTEST_LOG=$(mktemp)
trap 'cleanup; rm -f "$CTEST_LOG"' EXIT
run_ctest() {
    local log=$CTEST_LOG
    local status=0
    ctest "$@" 2>&1 | tee "$log" || status=$?
    local line
    line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1 || true)
    if [ -n "$line" ]; then
        local failed total
        failed=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<< "$line")
        total=$(sed -E 's/.* tests failed out of ([0-9]+).*/\1/' <<< "$line")
        PASSED=$((PASSED + total - failed))
        FAILED=$((FAILED + failed))
    fi
    return $status
}

# Runs a script that ends with "PREFIX: N passed, M failed" and adds those to the totals; its
# status goes to STATUS_VAR. A script that ends before counting (a failed build) counts one
# failure.
run_counted() { # STATUS_VAR PREFIX COMMAND...
    local var=$1 prefix=$2 log line status=0
    shift 2
    log=$(mktemp)
    "$@" 2>&1 | tee "$log" || status=$?
    line=$(grep -E "^$prefix: [0-9]+ passed, [0-9]+ failed" "$log" | tail -n 1 || true)
    rm -f "$log"
    if [ -n "$line" ]; then
        PASSED=$((PASSED + $(sed -E "s/^$prefix: ([0-9]+) passed.*/\1/" <<< "$line")))
        FAILED=$((FAILED + $(sed -E 's/.* ([0-9]+) failed.*/\1/' <<< "$line")))
    elif [ "$status" != 0 ]; then
        FAILED=$((FAILED + 1))
    fi
    printf -v "$var" '%s' "$status"
}

run_ctest --test-dir build --output-on-failure -j2

echo "== sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer) =="
PRESET=asan scripts/setup.sh
# Mesa's software rasteriser frees some of LLVM's buffers with free(): not our mismatch.
# Its few process-lifetime allocations are suppressed by name; leaks of ours still fail.
# The executables add an option of their own (cmake/SanitizerOptions.cpp).
export ASAN_OPTIONS=detect_leaks=1:alloc_dealloc_mismatch=0 UBSAN_OPTIONS=print_stacktrace=1 \
    LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
run_ctest --test-dir build-asan --output-on-failure -j2 -L unit
unset ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS

echo "== Debian package (built twice and compared, contents, hardening, lintian, autopkgtest) =="
# Its checks join the totals; a failure still lets the rest run, then fails the run.
run_counted PACKAGE_STATUS "Package tests" scripts/package.sh build-deb

echo "== fuzz smoke (image decoders and the orientation reader, 15 s each) =="
scripts/fuzz.sh 15

echo "== Windows (mingw-w64, Wine) =="
# The unit tests and smoke checks under Wine join the totals; a failure there still lets
# the totals print, then fails the run.
run_counted WINDOWS_STATUS "Windows tests" scripts/test-windows.sh build-windows

echo "tests: $PASSED passed, $FAILED failed"
[ "$PACKAGE_STATUS" = 0 ] && [ "$WINDOWS_STATUS" = 0 ]
