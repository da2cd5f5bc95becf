#!/bin/bash
# Runs a cross-built Windows program under Wine: CTest's emulator for the Windows build.
#
# The prefix is private to the build (GRADEWICK_WINEPREFIX, default: in the windows preset's
# build folder) and is made once, with a Wine virtual desktop so that showing and hiding
# windows does not wait on a missing window manager. Without a DISPLAY the program runs on a
# private Xvfb that is stopped afterwards.
set -euo pipefail

program=$1
shift

root=$(cd "$(dirname "$0")/../.." && pwd)
export WINEPREFIX=${GRADEWICK_WINEPREFIX:-$root/build/windows/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
# Wine reads Unix file names and command-line arguments in the Unix locale's character set:
# UTF-8, so that a folder or file of any name reaches the programs as it is. The programs' ANSI
# code page stays Wine's default, 1252.
export LC_ALL=C.UTF-8
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

# One-time prefix set-up, serialised between tests that start at once.
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [[ ! -f $WINEPREFIX/.gradewick-ready-2 ]]; then
    "$WINE" wineboot -i >/dev/null 2>&1 || true
    "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f \
        >/dev/null 2>&1
    # Wine's own fonts (Debian fonts-wine): "MS Sans Serif" for the dialogs and Marlett for the
    # caption buttons. This Wine looks for them only in the prefix's Fonts folder; without them
    # dialog units come out wider than on Windows.
    if [[ -d /usr/share/wine/fonts ]]; then
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp -u /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
    "$WINESERVER" -w
    touch "$WINEPREFIX/.gradewick-ready-2"
fi
flock -u 9
exec 9>&-

if [[ -z ${DISPLAY:-} ]]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$WINE" "$program" "$@"
fi
exec "$WINE" "$program" "$@"
