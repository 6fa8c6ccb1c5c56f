#!/usr/bin/env bash
# The Wayland host against servers no real compositor is: one that offers nothing to show a
# surface on, and one that hangs up at once. Each run ends at once with status 1 and one line
# saying why, and leaves the stored settings as they were.
# Usage: bare_compositor_test.sh KINETORA BARE_COMPOSITOR
set -uo pipefail
prog=$1 server=$2
work=$(mktemp -d /tmp/kinetora-bare.XXXXXX)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}
mkdir -m 700 "$work/run" "$work/home"
export XDG_RUNTIME_DIR=$work/run HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
unset DISPLAY
store=$XDG_CONFIG_HOME/Tovenhall/Kinetora.conf
mkdir -p "${store%/*}"
printf '[Config]\nFramesPerSecond=25\nPolygons=2500\n' > "$store"
cp "$store" "$work/stored"

check() { # server arguments..., then the expected line after "--"
    local args=() expected
    while [ "$1" != -- ]; do args+=("$1"); shift; done
    expected=$2
    "$server" bare-0 "${args[@]}" > "$work/server.out" &
    pid=$!
    for _ in $(seq 50); do grep -q ready "$work/server.out" 2>/dev/null && break; sleep 0.1; done
    grep -q ready "$work/server.out" || fail "the bare server did not start"
    WAYLAND_DISPLAY=bare-0 timeout 10 "$prog" /s > "$work/out" 2> "$work/err"
    local status=$?
    kill "$pid"; wait "$pid" 2>/dev/null; pid=
    [ "$status" -eq 1 ] || fail "${args[*]:-offers nothing}: status $status, not 1: $(cat "$work/err")"
    [ "$(cat "$work/err")" = "kinetora: $expected" ] ||
        fail "${args[*]:-offers nothing}: said '$(cat "$work/err")'"
    cmp -s "$store" "$work/stored" ||
        fail "${args[*]:-offers nothing}: the stored settings changed"
}

check -- "the Wayland compositor offers no way to show a surface (no wl_compositor, layer shell or xdg-shell)"
check --hang-up -- "the Wayland compositor broke the connection (wl_display@1: error 2: no memory)"
echo ok
