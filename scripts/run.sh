#!/bin/bash
# Builds gradewick.exe and runs it under Wine.
#
# With a working DISPLAY the program opens there. Without one, it runs on a private virtual
# display served by VNC on 127.0.0.1 only, behind a password made for the run; the script says
# how to connect, with the password, and keeps a
# screenshot of the current screen in build/windows/screen.png. Everything the script starts
# is stopped when the program ends or on Ctrl-C.
#
# GRADEWICK_BUILD_DIR builds in another folder than build/windows (same preset).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
IMPORT=/usr/bin/import
SCREENSHOT_SECONDS=2

bash scripts/install-deps.sh
source scripts/vnc-serve.sh
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh

build=${GRADEWICK_BUILD_DIR:-}
if [[ -z $build ]]; then
    build=$root/build/windows
    cmake --preset windows
    cmake --build --preset windows --target gradewick
else
    build=$(realpath -m "$build")
    cmake --preset windows -B "$build"
    cmake --build "$build" -j2 --target gradewick
fi
program=$build/shell/gradewick.exe
if [[ ! -f $program ]]; then
    echo "run.sh: $program was not built" >&2
    exit 1
fi

export WINEPREFIX=$build/run-prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

xvfb_pid=""
shots_pid=""
wine_pid=""
screenshot=$build/screen.png

stop_everything() {
    trap - EXIT INT TERM
    if [[ -n $wine_pid ]]; then
        kill "$wine_pid" 2>/dev/null || true
    fi
    if [[ -d $WINEPREFIX ]]; then
        "$WINESERVER" -k >/dev/null 2>&1 || true
    fi
    vnc_stop
    for pid in "$shots_pid" "$xvfb_pid"; do
        if [[ -n $pid ]]; then
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
}
trap stop_everything EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

display_works() {
    [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1
}

free_display() {
    local display=99
    while [[ -e /tmp/.X$display-lock || -e /tmp/.X11-unix/X$display ]]; do
        display=$((display + 1))
    done
    echo "$display"
}

port_in_use() {
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

free_port() {
    local port=5900
    while port_in_use "$port"; do
        port=$((port + 1))
    done
    echo "$port"
}

start_private_display() {
    local display port
    display=$(free_display)
    Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$display"
    for _ in $(seq 100); do
        display_works && break
        sleep 0.1
    done
    if ! display_works; then
        echo "run.sh: the virtual display did not start" >&2
        exit 1
    fi

    port=$(free_port)
    if ! vnc_serve "$DISPLAY" "$port" "$build"; then
        echo "run.sh: the VNC server did not start; see $build/x11vnc.log" >&2
        exit 1
    fi

    (
        pause_pid=""
        trap 'kill $pause_pid 2>/dev/null; exit 0' TERM
        while true; do
            "$IMPORT" -window root -display "$DISPLAY" "$screenshot.tmp.png" 2>/dev/null &&
                mv -f "$screenshot.tmp.png" "$screenshot"
            sleep "$SCREENSHOT_SECONDS" &
            pause_pid=$!
            wait "$pause_pid"
        done
    ) &
    shots_pid=$!

    echo "No display here: Gradewick runs on a private one. Connect with" \
        "'ssh -L 5900:127.0.0.1:$port $(hostname)', then a VNC viewer on localhost:5900" \
        "with the password $vnc_password (made for this run only);" \
        "a screenshot is kept in $screenshot (every ${SCREENSHOT_SECONDS} s)."
}

if ! display_works; then
    start_private_display
fi

# A prefix of our own, made once, with Wine's own fonts.
wine_prefix_prepare

"$WINE" "$program" 2> >(grep -v 'Read access denied for device' >&2) &
wine_pid=$!
set +e
wait "$wine_pid"
status=$?
set -e
wine_pid=""
exit "$status"
