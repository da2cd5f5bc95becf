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
# code page stays Wine's default, 1252, unless GRADEWICK_WINE_LOCALE names another UTF-8 locale
# (ru_RU.UTF-8 for 1251, ja_JP.UTF-8 for 932), whose code page Wine then takes.
export LC_ALL=${GRADEWICK_WINE_LOCALE:-C.UTF-8}
WINE=/usr/lib/wine/wine64

# One-time prefix set-up, serialised between tests that start at once.
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
wine_prefix_prepare >/dev/null 2>&1
flock -u 9
exec 9>&-

if [[ -z ${DISPLAY:-} ]]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$WINE" "$program" "$@"
fi
exec "$WINE" "$program" "$@"
