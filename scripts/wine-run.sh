#!/usr/bin/env bash
# Runs a Windows program in the project's Wine prefix. CTest uses this as the
# cross-compiling emulator; the other scripts use it for every Wine call.
#
# The 64-bit loader is called directly: /usr/bin/wine prefers the 32-bit
# loader, which costs a minute per start where 32-bit Linux programs run only
# under emulation. wine64 starts 32-bit Windows programs by itself.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX="${TORVA_WINEPREFIX:-$here/../build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Code page 932 for the ANSI functions, as on a Japanese Windows.
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
if [ -x /usr/lib/wine/wine64 ]; then
    exec /usr/lib/wine/wine64 "$@"
fi
exec wine "$@"
