#!/usr/bin/env bash
# The Windows part of CI: builds Kinetora.scr and the unit suite with mingw-w64, then runs
# under Wine, on a private Xvfb and a private Wine prefix in the build folder:
#   - the host-free unit suite (the recorded replay hash must match, as on Linux);
#   - /s draws for 3 s, ends on an injected key and leaves its frame-rate record in the
#     registry;
#   - /p <hwnd> draws in a test parent window and ends when that window is destroyed;
#   - /c opens the sheet, and Cancel writes nothing;
#   - a missing or bad /p argument, or the desktop as the parent, gives its error and a
#     non-zero status.
# Usage: scripts/test-windows.sh [build folder]   (default: build-windows)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath -m "${1:-build-windows}")
START=$(date +%s)

. scripts/lib/packages.sh
install_packages xvfb xdotool
KINETORA_WIN_TESTS=1 scripts/build-windows.sh "$BUILD"
SCR=$BUILD/Kinetora.scr
KEY='HKCU\Software\Tovenhall\Kinetora\Config'

export WINEPREFIX=$BUILD/wine
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all
XVFB_PID=""
cleanup() {
    wineserver -k 2> /dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2> /dev/null || true
}
trap cleanup EXIT
for n in $(seq 150 199); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp > /dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    break
done
[ -n "$XVFB_PID" ] || { echo "test-windows: no free display" >&2; exit 1; }
[ -e "$WINEPREFIX/system.reg" ] || wineboot -i > /dev/null 2>&1

# Every unit test and every smoke check counts once.
PASSED=0
FAILED=0
SKIPPED=0
pass() { echo "PASS $1"; PASSED=$((PASSED + 1)); }
fail() { echo "FAIL $1"; FAILED=$((FAILED + 1)); }

# Waits up to $2 seconds for process $1 to end; its status in WAITED_STATUS (124: still
# running, and then killed unless $3 is "keep").
wait_for() {
    local pid=$1 limit=$2 keep=${3:-}
    for _ in $(seq $((limit * 10))); do
        if ! kill -0 "$pid" 2> /dev/null; then
            WAITED_STATUS=0
            wait "$pid" || WAITED_STATUS=$?
            return
        fi
        sleep 0.1
    done
    WAITED_STATUS=124
    [ "$keep" = keep ] && return
    kill "$pid" 2> /dev/null || true
    wait "$pid" 2> /dev/null || true
}

reg_value() { # the data of value $1 under the saver's key, empty when missing
    wine reg query "$KEY" /v "$1" 2> /dev/null | tr -d '\r' | awk -v n="$1" '$1 == n {print $3}'
}

echo "== unit suite under Wine =="
UNIT_LOG=$BUILD/unit-tests.log
UNIT_STATUS=0
wine "$BUILD/kinetora_win_tests.exe" --gtest_brief=1 2>&1 | tr -d '\r' | tee "$UNIT_LOG" ||
    UNIT_STATUS=$?
summary_count() { # the number in GoogleTest's summary line "[  $1  ] N test(s)", else 0
    sed -nE "s/^\[  $1 *\] ([0-9]+) tests?[,.].*/\1/p" "$UNIT_LOG" | tail -n 1 | grep . || echo 0
}
UNIT_RAN=$(sed -nE 's/^\[==========\] ([0-9]+) tests? from .* ran\..*/\1/p' "$UNIT_LOG" | tail -n 1)
UNIT_PASSED=$(summary_count PASSED)
UNIT_SKIPPED=$(summary_count SKIPPED)
# The brief output names each failure but gives no count of them.
UNIT_FAILED=$((${UNIT_RAN:-0} - UNIT_PASSED - UNIT_SKIPPED))
PASSED=$((PASSED + UNIT_PASSED))
FAILED=$((FAILED + UNIT_FAILED))
SKIPPED=$((SKIPPED + UNIT_SKIPPED))
echo "unit suite: $UNIT_PASSED passed, $UNIT_FAILED failed, $UNIT_SKIPPED skipped"
if [ -z "$UNIT_RAN" ]; then
    fail "unit suite did not finish (status $UNIT_STATUS)"
elif [ "$UNIT_STATUS" != 0 ] && [ "$UNIT_FAILED" = 0 ]; then
    fail "unit suite status $UNIT_STATUS"
fi

echo "== /s: full screen, ended by a key =="
wine reg delete 'HKCU\Software\Tovenhall\Kinetora' /f > /dev/null 2>&1 || true
# A slow record to start from: after a measured burst the saver writes its own.
wine reg add "$KEY" /v FramesPerSecond /t REG_DWORD /d 1 /f > /dev/null
wine reg add "$KEY" /v Polygons /t REG_DWORD /d 100 /f > /dev/null
# Without a window manager the focus follows the pointer: keep it on the window.
xdotool mousemove 512 384
wine "$SCR" /s &
SAVER=$!
for _ in $(seq 150); do
    xdotool search --onlyvisible --name '^Kinetora$' > /dev/null 2>&1 && break
    sleep 0.1
done
sleep 3
if kill -0 $SAVER 2> /dev/null; then
    xdotool mousemove 515 386 # within 20 pixels: must not end the run
    sleep 0.5
    kill -0 $SAVER 2> /dev/null && pass "/s keeps running after a small mouse move" ||
        fail "/s ended on a small mouse move"
    # A key pressed before the window has the focus is lost (a busy machine may take a
    # while to map it): press again, at most three times.
    for _ in 1 2 3; do
        xdotool key space
        wait_for $SAVER 5 keep
        [ "$WAITED_STATUS" != 124 ] && break
    done
    [ "$WAITED_STATUS" = 124 ] && wait_for $SAVER 0
    [ "$WAITED_STATUS" = 0 ] && pass "/s ended on a key" || fail "/s status $WAITED_STATUS"
else
    fail "/s ended before the key"
fi
FPS=$(reg_value FramesPerSecond)
POLYGONS=$(reg_value Polygons)
echo "record: FramesPerSecond=$FPS Polygons=$POLYGONS"
if [ -n "$FPS" ] && [ "$FPS" != 0x1 ] && [ -n "$POLYGONS" ] && [ "$POLYGONS" != 0x64 ]; then
    pass "/s wrote its measured frame-rate record"
else
    fail "/s frame-rate record"
fi

echo "== /p: preview in a test parent window =="
if wine "$BUILD/kinetora_preview_parent.exe" "$SCR" 3; then
    pass "/p made its child in the parent and ended with it"
else
    fail "/p in a parent window"
fi

echo "== /c: the sheet, closed with Cancel =="
wine reg delete 'HKCU\Software\Tovenhall' /f > /dev/null 2>&1 || true
INI=$(find "$WINEPREFIX/drive_c/users" -path '*/AppData/Roaming/Tovenhall/Kinetora.ini' 2> /dev/null | head -n 1)
[ -n "$INI" ] && rm -f "$INI"
wine "$SCR" /c &
SHEET=$!
SHEET_WINDOW=""
for _ in $(seq 150); do
    SHEET_WINDOW=$(xdotool search --name '^Kinetora Screensaver$' 2> /dev/null | head -n 1 || true)
    [ -n "$SHEET_WINDOW" ] && break
    sleep 0.1
done
if [ -n "$SHEET_WINDOW" ]; then
    pass "/c opened the sheet"
    eval "$(xdotool getwindowgeometry --shell "$SHEET_WINDOW")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + 10))
    sleep 0.5
    xdotool key Escape
    wait_for $SHEET 15
    [ "$WAITED_STATUS" = 0 ] && pass "/c ended on Cancel" || fail "/c status $WAITED_STATUS"
else
    fail "/c showed no sheet"
    kill $SHEET 2> /dev/null || true
fi
if wine reg query 'HKCU\Software\Tovenhall' > /dev/null 2>&1 ||
    find "$WINEPREFIX/drive_c/users" -path '*/Tovenhall/Kinetora.ini' | grep -q .; then
    fail "/c Cancel wrote settings"
else
    pass "/c Cancel wrote nothing"
fi

echo "== bad /p arguments =="
check_bad() { # $1 expected text, then the arguments; a run that does not end fails
    local expected=$1 status=0 out
    shift
    out=$(timeout 60 wine "$SCR" "$@" 2>&1) || status=$?
    if [ "$status" != 0 ] && grep -qF "$expected" <<< "$out"; then
        pass "$* -> status $status, '$expected'"
    else
        fail "$* -> status $status, output: $out"
    fi
}
check_bad "the preview switch needs a window id" /p
check_bad "bad window id for the preview: 'abc'" /p abc
check_bad "no window 12345 to draw the preview in" /p 12345
DESKTOP=$(wine "$BUILD/kinetora_preview_parent.exe" --desktop | tr -d '\r')
check_bad "window $DESKTOP is the desktop: no preview is drawn in it" /p "$DESKTOP"

echo "Windows tests: $PASSED passed, $FAILED failed, $SKIPPED skipped, $(($(date +%s) - START)) s"
[ "$FAILED" = 0 ]
