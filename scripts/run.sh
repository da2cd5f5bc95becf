#!/bin/bash
# Builds gradewick.exe and runs it under Wine.
#
# With a working DISPLAY the program opens there. Without one, it runs on a private virtual
# display that only this account can open (scripts/private-display.sh), served by VNC on
# 127.0.0.1 only, behind a password made for the run; the script says how to connect, with the
# password, and keeps a screenshot of the current screen in build/windows/screen.png, readable
# by this account only. Everything the script starts is stopped when the program ends or on
# Ctrl-C.
#
# GRADEWICK_BUILD_DIR builds in another folder than build/windows (same preset).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

bash scripts/install-deps.sh
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh # and with it scripts/private-display.sh

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
# Wine reads file names through the locale: in a UTF-8 one, a result file in a folder of any
# name reaches the program as it is.
export LC_ALL=C.UTF-8

wine_pid=""

stop_everything() {
    trap - EXIT INT TERM
    if [[ -n $wine_pid ]]; then
        kill "$wine_pid" 2>/dev/null || true
    fi
    if [[ -d $WINEPREFIX ]]; then
        "$WINESERVER" -k >/dev/null 2>&1 || true
    fi
    private_display_stop
}
trap stop_everything EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if ! display_works; then
    private_display_start "$build"
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
