#!/bin/bash
# Sourced by the scripts that run the Windows build: a private virtual display and a Wine
# prefix of our own, and a way to stop both again.

_wine_env_xvfb_pid=""

# wine_env_start PREFIX: starts Xvfb on a free display and keeps the prefix's wineserver
# running, exporting DISPLAY, WINEPREFIX and the Wine settings the tests need.
wine_env_start() {
    export WINEPREFIX=$1
    export GRADEWICK_WINEPREFIX=$1
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    local display=99
    while [[ -e /tmp/.X$display-lock || -e /tmp/.X11-unix/X$display ]]; do
        display=$((display + 1))
    done
    Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    _wine_env_xvfb_pid=$!
    export DISPLAY=":$display"
    for _ in $(seq 50); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
    done
    mkdir -p "$(dirname "$WINEPREFIX")"
}

wine_env_stop() {
    if [[ -n ${WINEPREFIX:-} && -d $WINEPREFIX ]]; then
        /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
    fi
    if [[ -n $_wine_env_xvfb_pid ]]; then
        kill "$_wine_env_xvfb_pid" 2>/dev/null || true
        wait "$_wine_env_xvfb_pid" 2>/dev/null || true
        _wine_env_xvfb_pid=""
    fi
}
