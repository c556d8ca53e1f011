#!/usr/bin/env bash
# Takes a PNG screenshot of the manager Mablix under Xvfb, with the Japanese
# text drawn, into manager/docs/manager.png: two sample pages in the tree and
# the form of the selected item in the preview. mablix_shot.exe stores the
# pages, starts the installed Mablix.exe (its PIN question answered), selects
# the item, writes the picture and closes the manager with Cancel. Uses the
# prefix copy with a real graphics driver of scripts/shot-prefix.sh.
#
# With --stored OUT.png (the main job's step), mablix_demo.exe stores the
# log-in entry of the main road instead and the manager shows that entry.
#
# Usage: manager/screenshots.sh [--stored OUT.png] [BIN64 [PREFIX]]
#        (SHOT_DISPLAY: the display number)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
program=mablix_shot.exe
png=$root/manager/docs/manager.png
if [ "${1:-}" = --stored ]; then
    program=mablix_demo.exe
    png=$2
    shift 2
fi
bin=$(cd "${1:-$root/build/win64/bin}" && pwd)
prefix=${2:-$root/build/shot-prefix}
out=$(dirname "$png")
display=:${SHOT_DISPLAY:-59}
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
. "$root/scripts/shot-prefix.sh"
prefix=$(shot_prefix "$prefix")
mkdir -p "$out"
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
shots=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null || true; WINEPREFIX=$prefix wineserver -k 2>/dev/null || true; rm -rf "$shots"' EXIT
sleep 2
status=0
DISPLAY=$display TORVA_WINEPREFIX=$prefix "$root/scripts/wine-run.sh" explorer "/desktop=mablix,1024x768" \
    "$(winpath "$bin/$program")" "$(winpath "$shots/manager.bmp")" || status=$?
if [ -s "$shots/manager.bmp" ]; then
    convert "$shots/manager.bmp" "$png"
    echo "wrote $png"
else
    echo "screenshots: no picture was taken" >&2
    status=1
fi
exit $status
