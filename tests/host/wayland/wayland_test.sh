#!/usr/bin/env bash
# One check of the saver on a headless compositor; run inside with-compositor.sh.
# Usage: wayland_test.sh PROGRAM POINTER CASE
set -uo pipefail
prog=$1 pointer=$2 case=$3
log=$WORK/saver.log
pid=""

fail() {
    echo "FAIL ($case): $*"
    if [ -n "$pid" ] && ! kill -0 "$pid" 2> /dev/null; then
        wait "$pid"
        echo "  the saver had ended, status $?"
    fi
    [ -s "$log" ] && sed 's/^/  saver: /' "$log"
    exit 1
}
start() {
    BLANK=""
    [ -n "${SWAYSOCK:-}" ] && BLANK=$(shot_hash HEADLESS-1 2> /dev/null)
    "$prog" "$@" > "$log" 2>&1 &
    pid=$!
}
alive() { kill -0 "$pid" 2> /dev/null; }
# grep -c reads all: with pipefail, grep -q would fail the pipe when it stops reading early.
has_window() { swaymsg -t get_tree | grep -c '"app_id": "kinetora"' > /dev/null; }
# Waits up to $1 tenths of a second for the saver to end; its status goes to $status.
status=""
ended_within() {
    for _ in $(seq "$1"); do
        if ! alive; then wait "$pid"; status=$?; return 0; fi
        sleep 0.1
    done
    return 1
}
has_record() { grep -rqs "FramesPerSecond=" "$WORK/config"; }
# Distinct colours of one output's picture (grim writes binary PPM).
colours() {
    grim -t ppm -o "$1" - | python3 -c '
import sys
data = sys.stdin.buffer.read()
fields, pos = [], 0
while len(fields) < 4:
    while data[pos:pos + 1].isspace(): pos += 1
    end = pos
    while not data[end:end + 1].isspace(): end += 1
    fields.append(data[pos:end]); pos = end
pixels = data[pos + 1:]
print(len({pixels[i:i + 3] for i in range(0, len(pixels), 3)}))'
}
# Distinct colours of an 8-bit RGB or RGBA PNG (weston's screenshots).
png_colours() {
    python3 - "$1" << 'PY'
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
pos, idat, width, height, kind = 8, b'', 0, 0, 0
while pos < len(data):
    size, tag = struct.unpack('>I4s', data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + size]
    if tag == b'IHDR':
        width, height, depth, kind = struct.unpack('>IIBB', body[:10])
        assert depth == 8 and kind in (2, 6), 'unexpected PNG format'
    elif tag == b'IDAT':
        idat += body
    pos += size + 12
bpp = 3 if kind == 2 else 4
raw, stride = zlib.decompress(idat), width * bpp
prev, seen = bytearray(stride), set()
for y in range(height):
    f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
    for i in range(stride):
        a = line[i - bpp] if i >= bpp else 0
        b, c = prev[i], prev[i - bpp] if i >= bpp else 0
        if f == 1: line[i] = (line[i] + a) & 255
        elif f == 2: line[i] = (line[i] + b) & 255
        elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
        elif f == 4:
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
    seen.update(bytes(line[i:i + 3]) for i in range(0, stride, bpp))
    prev = line
print(len(seen))
PY
}
# The desktop's own background is grey: all black is the saver's cover.
black() {
    [ "$(colours "$1")" = 1 ] && grim -t ppm -o "$1" - | tail -c 3 | od -An -tu1 | grep -qx ' *0 *0 *0'
}
shot_hash() { grim -t ppm -o "$1" - | sha256sum | cut -c1-16; }
# A first run times the machine once its first frame is up; a run ended before that stores
# no record.
# Waits at least $1 seconds (2) and, on a loaded machine, until the first output's picture
# has changed from the desktop's (up to 15 s more), so input goes to a surface that is up.
settle() {
    sleep "${1:-2}"
    if [ -n "${BLANK:-}" ]; then
        for _ in $(seq 75); do
            [ "$(shot_hash HEADLESS-1)" != "$BLANK" ] && break
            alive || break
            sleep 0.2
        done
    fi
    alive || fail "ended by itself"
}
cleanup() { [ -n "$pid" ] && kill -9 "$pid" 2> /dev/null; }
trap cleanup EXIT

case $case in
shows) # every output shows a scene of its own: many colours, and not the same picture
    start /s --seed 11
    settle 3
    for out in HEADLESS-1 HEADLESS-2; do
        n=$(colours $out)
        echo "$out: $n colours"
        [ "$n" -ge 200 ] || fail "$out shows $n colours"
    done
    [ "$(shot_hash HEADLESS-1)" != "$(shot_hash HEADLESS-2)" ] || fail "both outputs show one picture"
    ;;
key) # a key press ends it, with the frame-rate record stored
    start /s
    settle
    wtype -s 1000 -k a
    ended_within 60 || fail "a key did not end it"
    [ "$status" = 0 ] || fail "status $status"
    has_record || fail "no frame-rate record"
    ;;
button)
    start /s
    settle
    "$pointer" button
    ended_within 60 || fail "a button did not end it"
    [ "$status" = 0 ] || fail "status $status"
    ;;
pointer) # 20 pixels from the first reported place keep it, 21 end it
    start /s
    settle
    # The pointer appears where the compositor puts it: that place is the first report.
    "$pointer" move 10 0 wait 300 move 10 0 wait 500
    ended_within 10 && fail "a 20-pixel move ended it"
    "$pointer" move 0 21
    ended_within 60 || fail "a 21-pixel move did not end it"
    [ "$status" = 0 ] || fail "status $status"
    ;;
sigterm) # an ending signal ends it at once, with the record stored
    start /s
    settle
    kill -TERM "$pid"
    ended_within 10 || fail "SIGTERM did not end it within a second"
    has_record || fail "no frame-rate record"
    ;;
gone) # the compositor going away ends the run cleanly, the record stored
    start /s
    settle
    kill -TERM "$COMPOSITOR_PID"
    ended_within 50 || fail "it outlived the compositor"
    [ "$status" = 1 ] || fail "status $status"
    grep -q "lost the connection to the Wayland compositor" "$log" || fail "no message"
    has_record || fail "no frame-rate record"
    ;;
new_output) # an output plugged in mid-run gets a scene of its own
    start /s --seed 4
    settle
    swaymsg create_output > /dev/null || fail "swaymsg create_output"
    sleep 2
    alive || fail "ended when an output came"
    swaymsg -t get_outputs | grep -c '"HEADLESS-3"' > /dev/null || fail "no third output"
    n=$(colours HEADLESS-3)
    echo "HEADLESS-3: $n colours"
    [ "$n" -ge 200 ] || fail "the new output shows $n colours"
    ;;
window) # --window is a normal window: the compositor manages it, q ends it
    start --window --size 320x240
    settle
    for _ in $(seq 100); do
        has_window && break
        alive || break
        sleep 0.1
    done
    has_window || fail "no window with app id kinetora"
    wtype -s 1000 -k q
    ended_within 60 || fail "q did not end it"
    [ "$status" = 0 ] || fail "status $status"
    ;;
idle) # the idle daemon starts it after its timeout, and a key ends it
    swayidle -w timeout 1 "$prog /s > $log 2>&1" > /dev/null 2>&1 &
    idle=$!
    trap 'kill $idle 2> /dev/null; cleanup' EXIT
    for _ in $(seq 100); do pgrep -u "$(id -u)" -f "^$prog /s" > /dev/null && break; sleep 0.1; done
    pid=$(pgrep -u "$(id -u)" -f "^$prog /s" | head -n 1)
    [ -n "$pid" ] || fail "swayidle did not start it"
    sleep 2
    alive || fail "ended by itself"
    wtype -s 1000 -k a
    for _ in $(seq 60); do alive || break; sleep 0.1; done
    alive && fail "a key did not end it"
    ;;
host_choice) # --x11, --root and --window-id use the X server even in a Wayland session
    for args in "--x11 /s" "--x11 --window" "--root" "--window-id 0x200001"; do
        # shellcheck disable=SC2086
        DISPLAY= timeout 10 "$prog" $args > "$log" 2>&1
        status=$?
        [ "$status" = 1 ] && grep -q "cannot open display" "$log" || fail "$args: status $status"
    done
    ;;
fallback) # no layer shell: a fullscreen window showing the scene, and one line saying so
    start /s --seed 7
    settle 3
    grep -q "no layer shell" "$log" || fail "no line about the missing layer shell"
    (cd "$WORK" && weston-screenshooter) || fail "no screenshot"
    n=$(png_colours "$WORK"/wayland-screenshot-*.png)
    echo "fullscreen: $n colours"
    [ "$n" -ge 200 ] || fail "the screen shows $n colours"
    ;;
*)
    echo "unknown case $case"
    exit 2
    ;;
esac
echo "ok ($case)"
