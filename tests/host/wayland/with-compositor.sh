#!/usr/bin/env bash
# Runs a command as a normal user inside a private headless compositor, then stops it.
# Usage: with-compositor.sh [--weston] [--outputs N] COMMAND [ARG...]
# sway (the default) offers the layer shell, screencopy and a virtual keyboard; weston's
# headless backend offers xdg-shell only. Neither runs as root, so a root caller runs both
# the compositor and the command as the user kinetora-test, made when missing. The command
# sees WAYLAND_DISPLAY, SWAYSOCK (sway), XDG_RUNTIME_DIR and WORK (a folder it may write).
# Status: the command's; 77 when no compositor can be started here.
set -uo pipefail

compositor=sway
outputs=2
while [ $# -gt 0 ]; do
    case $1 in
    --weston) compositor=weston; shift ;;
    --outputs) outputs=$2; shift 2 ;;
    *) break ;;
    esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--weston] [--outputs N] COMMAND..." >&2; exit 2; }
command -v "$compositor" > /dev/null || { echo "no $compositor installed"; exit 77; }

user=$(id -un)
if [ "$(id -u)" -eq 0 ]; then
    user=kinetora-test
    id "$user" > /dev/null 2>&1 ||
        useradd --system --create-home --shell /bin/bash "$user" ||
        { echo "cannot create the user $user"; exit 77; }
fi
as_user() {
    if [ "$(id -un)" = "$user" ]; then "$@"; else runuser -u "$user" -- "$@"; fi
}

# Everything the user touches lives in one folder it owns: the runtime folder, the
# compositor's configuration and log, and WORK.
base=$(mktemp -d /tmp/kinetora-wl.XXXXXX)
chmod 755 "$base"
mkdir -m 700 "$base/run"
mkdir "$base/work"
chown "$user" "$base/run" "$base/work" 2> /dev/null || true
runner="" pid=""
# runuser does not pass a signal on: the compositor itself is stopped.
cleanup() {
    local p
    [ -z "$pid" ] && [ -n "$runner" ] && pid=$(pgrep -P "$runner")
    for p in $pid $runner; do
        kill "$p" 2> /dev/null
        for _ in $(seq 50); do kill -0 "$p" 2> /dev/null || break; sleep 0.1; done
        kill -9 "$p" 2> /dev/null
    done
    rm -rf "$base"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR=$base/run WORK=$base/work
unset DISPLAY WAYLAND_DISPLAY WAYLAND_SOCKET SWAYSOCK
if [ "$compositor" = sway ]; then
    # No bar, no wallpaper, no idle daemon: nothing but the saver draws.
    cat > "$base/sway.conf" <<CONF
default_border none
CONF
    as_user env WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_HEADLESS_OUTPUTS="$outputs" \
        WLR_LIBINPUT_NO_DEVICES=1 XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" \
        sway -c "$base/sway.conf" > "$base/compositor.log" 2>&1 &
else
    as_user env XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" weston --backend=headless-backend.so \
        --socket=wayland-1 --width=1024 --height=768 --use-pixman --idle-time=0 --debug \
        > "$base/compositor.log" 2>&1 &
fi
runner=$!

socket=""
for _ in $(seq 100); do
    socket=$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -type s -name 'wayland-*' -printf '%f\n' |
        head -n 1)
    if [ -n "$socket" ] && { [ "$compositor" = weston ] ||
        [ -n "$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -type s -name 'sway-ipc.*')" ]; }; then
        break
    fi
    kill -0 "$runner" 2> /dev/null || break
    sleep 0.1
done
if [ -z "$socket" ] || ! kill -0 "$runner" 2> /dev/null; then
    echo "the headless $compositor did not start:"
    cat "$base/compositor.log"
    exit 77
fi
export WAYLAND_DISPLAY=$socket
if [ "$compositor" = sway ]; then
    SWAYSOCK=$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -type s -name 'sway-ipc.*' | head -n 1)
    export SWAYSOCK
    # Outputs are laid out once the socket is up; wait until all are there.
    for _ in $(seq 50); do
        [ "$(as_user swaymsg -t get_outputs -r | grep -c '"name"')" -ge "$outputs" ] && break
        sleep 0.1
    done
fi
# The compositor itself, not runuser: its socket is named after it.
if [ "$compositor" = sway ]; then
    pid=$(basename "$SWAYSOCK" .sock)
    pid=${pid##*.}
else
    pid=$(pgrep -P "$runner" -x weston)
fi

# A build folder the user cannot reach (a clone under /root) lends it copies of the programs
# and scripts named on the command line.
args=()
mkdir "$base/bin"
for arg in "$@"; do
    if [ -f "$arg" ] && [ -x "$arg" ] && ! as_user test -x "$arg"; then
        cp "$arg" "$base/bin/" && arg=$base/bin/$(basename "$arg")
    fi
    args+=("$arg")
done
set -- "${args[@]}"

as_user env XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" WAYLAND_DISPLAY="$WAYLAND_DISPLAY" \
    SWAYSOCK="${SWAYSOCK:-}" WORK="$WORK" COMPOSITOR_PID="$pid" HOME="$WORK" \
    XDG_CONFIG_HOME="$WORK/config" "$@"
status=$?
[ $status -ne 0 ] && [ -s "$base/compositor.log" ] && tail -n 20 "$base/compositor.log"
exit $status
