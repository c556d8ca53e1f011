#!/usr/bin/env bash
# Takes a PNG screenshot of the manager Mablix over two sample pages under
# Xvfb, with the Japanese text drawn, into manager/docs/. Uses the prefix copy
# with a real graphics driver that addin/ui/screenshots.sh makes.
#
# Usage: manager/screenshots.sh [BIN64 [PREFIX]]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin=$(cd "${1:-$root/build/win64/bin}" && pwd)
prefix=${2:-$root/build/shot-prefix}
out=$root/manager/docs
display=:${SHOT_DISPLAY:-59}
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
if [ ! -d "$prefix" ]; then
    cp -a "$root/build/wineprefix" "$prefix"
    TORVA_WINEPREFIX=$prefix "$root/scripts/wine-run.sh" reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f >/dev/null 2>&1 || true
    WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
fi
prefix=$(cd "$prefix" && pwd)
TORVA_WINEPREFIX=$prefix "$root/scripts/make-prefix.sh" "$root/build/install" >/dev/null
WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
mkdir -p "$out"
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; WINEPREFIX=$prefix wineserver -k 2>/dev/null || true' EXIT
sleep 2
DISPLAY=$display TORVA_WINEPREFIX=$prefix "$root/scripts/wine-run.sh" explorer "/desktop=mablix,1024x768" \
    "$(winpath "$bin/mablix_shot.exe")" 40 >/dev/null 2>&1 &
runner=$!
sleep "${SHOT_WAIT:-15}"
DISPLAY=$display import -window root "$out/manager.png"
kill $runner 2>/dev/null || true
echo "wrote $out/manager.png"
