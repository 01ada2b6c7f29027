#!/usr/bin/env bash
# Runs a Windows program under wine64 with the build's own prefix
# (BUILD_WIN/wine, made on first use), so the machine's ~/.wine is not
# touched: 64-bit, no debug output, and wine's .NET and browser
# installers switched off (otherwise its first start offers them).
# Usage: tools/win/wine.sh BUILD_WIN PROGRAM.exe [arguments...]
#        tools/win/wine.sh BUILD_WIN --init   (make the prefix and return)
set -euo pipefail
build_win=$(cd "$1" && pwd)
shift
export WINEPREFIX=$build_win/wine WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
if [ ! -f "$WINEPREFIX/system.reg" ] || [ "${1:-}" = --init ]; then
    # wineboot needs no display; its windows would only show a progress bar.
    DISPLAY= "$wine" wineboot --init > /dev/null 2>&1
    "$(dirname "$wine")/wineserver" -w 2> /dev/null || true
    [ "${1:-}" = --init ] && exit 0
fi
exec "$wine" "$@"
