#!/usr/bin/env bash
# Takes PNG screenshots under Xvfb, with the Japanese text drawn, into
# export/docs/: Vantrel's main window (the item tree and the report of the
# selected item) over the fixture, the export dialog opened from its tool bar
# and the progress dialog.
# Uses the prefix copy with a real graphics driver of scripts/shot-prefix.sh.
#
# Usage: export/screenshots.sh [BIN64 [PREFIX]]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin=$(cd "${1:-$root/build/win64/bin}" && pwd)
prefix=${2:-$root/build/shot-prefix}
out=$root/export/docs
display=:${SHOT_DISPLAY:-74}
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
. "$root/scripts/shot-prefix.sh"
prefix=$(shot_prefix "$prefix")
mkdir -p "$out"
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; WINEPREFIX=$prefix wineserver -k 2>/dev/null || true' EXIT
sleep 2
DISPLAY=$display TORVA_WINEPREFIX=$prefix "$root/scripts/wine-run.sh" explorer "/desktop=vantrel,1024x768" \
    "$(winpath "$bin/vantrel_shot.exe")" 40 >/dev/null 2>&1 &
runner=$!
sleep "${SHOT_WAIT:-25}"
DISPLAY=$display import -window root "$out/vantrel-main.png"
kill $runner 2>/dev/null || true
WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
DISPLAY=$display TORVA_WINEPREFIX=$prefix "$root/scripts/wine-run.sh" explorer "/desktop=vantrel,1024x768" \
    "$(winpath "$bin/vantrel_shot.exe")" 40 'C:\Users\Public\Documents\エクスポート.csv' >/dev/null 2>&1 &
runner=$!
sleep "${SHOT_WAIT:-25}"
DISPLAY=$display import -window root "$out/vantrel-export.png"
kill $runner 2>/dev/null || true
WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
DISPLAY=$display TORVA_WINEPREFIX=$prefix "$root/scripts/wine-run.sh" explorer "/desktop=vantrel,1024x768" \
    "$(winpath "$bin/vantrel_export_host.exe")" progress >/dev/null 2>&1 &
runner=$!
sleep "${SHOT_WAIT:-15}"
DISPLAY=$display import -window root -crop 1024x768+0+0 "$out/vantrel-exporting.png"
kill $runner 2>/dev/null || true
echo "wrote $out/vantrel-main.png, vantrel-export.png and vantrel-exporting.png"
