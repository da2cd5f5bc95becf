#!/bin/bash
# Sourced by the scripts that run the Windows build: a private virtual display and a Wine
# prefix of our own, and a way to stop both again.

_wine_env_xvfb_pid=""
_wine_env_auth=""
# shellcheck source=scripts/private-display.sh
source "$(dirname "${BASH_SOURCE[0]}")/private-display.sh"

# wine_env_start PREFIX: starts Xvfb on a free display that only this account can open (a cookie
# made for the run, in a file of mode 600 beside the prefix) and exports DISPLAY, XAUTHORITY,
# WINEPREFIX and the Wine settings the tests need, among them a UTF-8 locale, in which Wine
# reads Unix file names and command-line arguments (so that any name reaches the programs).
# The prefix is made ready, and its wineserver kept running until wine_env_stop: a server
# started and stopped with each program is sometimes found exiting by the next one, which then
# cannot connect ("a wine server seems to be running, but I cannot connect to it").
wine_env_start() {
    export WINEPREFIX=$1
    export GRADEWICK_WINEPREFIX=$1
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    export WINEARCH=win64
    export LC_ALL=C.UTF-8
    _wine_env_auth=$WINEPREFIX.Xauthority
    mkdir -p "$(dirname "$WINEPREFIX")"
    xvfb_start "$_wine_env_auth" || echo "wine_env_start: the virtual display did not start" >&2
    _wine_env_xvfb_pid=$xvfb_pid
    wine_prefix_prepare
    /usr/lib/wine/wineserver -p
    # Wine's own services start with the first program and live as long as the server: started
    # here, they hold no test's output open.
    /usr/lib/wine/wine64 cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}

# wine_prefix_prepare: makes $WINEPREFIX once, with a Wine virtual desktop so that showing
# and hiding windows does not wait on a window manager, and puts Wine's own fonts (Debian
# fonts-wine: the dialogs' "MS Sans Serif", the caption buttons' Marlett) into its Fonts
# folder, the only place this Wine reads them from.
wine_prefix_prepare() {
    local wine=/usr/lib/wine/wine64 fonts=/usr/share/wine/fonts
    if [[ ! -f $WINEPREFIX/.gradewick-ready ]]; then
        echo "Preparing the Wine prefix $WINEPREFIX (once)..."
        mkdir -p "$WINEPREFIX"
        "$wine" wineboot -i >/dev/null 2>&1 || true
        "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f \
            >/dev/null 2>&1
        /usr/lib/wine/wineserver -w
        touch "$WINEPREFIX/.gradewick-ready"
    fi
    if [[ -d $fonts ]]; then
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp -u "$fonts"/* "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
}

wine_env_stop() {
    if [[ -n ${WINEPREFIX:-} && -d $WINEPREFIX ]]; then
        /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
    fi
    stop_started "$_wine_env_xvfb_pid" ${_wine_env_auth:+"$_wine_env_auth"}
    _wine_env_xvfb_pid=""
    _wine_env_auth=""
}
