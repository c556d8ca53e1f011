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
loader=wine
[ -x /usr/lib/wine/wine64 ] && loader=/usr/lib/wine/wine64

# At a terminal the program's output streams as it comes. Otherwise (CTest,
# logs) it goes through a file and is copied out once the program has ended:
# a process the program started and left behind (a relay under emulation
# that is slow to die, Wine's own services) then holds only that file, never
# the caller's pipe, so the caller sees the end when the program ends.
if [ -t 1 ]; then
    exec "$loader" "$@"
fi
capture=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
trap 'rm -f "$capture"' EXIT
"$loader" "$@" > "$capture" 2>&1 &
child=$!
trap 'kill "$child" 2>/dev/null; rm -f "$capture"; exit 143' TERM INT
wait "$child"
rc=$?
cat "$capture"
exit $rc
