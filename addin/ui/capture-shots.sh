#!/usr/bin/env bash
# The capture's main road in iexplore.exe under Xvfb, with pictures: runs
# capture_demo.exe on a Wine desktop in the screenshot prefix (a copy of the
# project's prefix with a real graphics driver, made by screenshots.sh's
# rules on first use) and writes PNG files:
#   capture-page.png     the log-in page typed in, before the submit
#   capture-confirm.png  "登録確認" over the browser
#   capture-regist.png   the registration dialog over the browser
#   capture-pin.png      the PIN dialog of the save
#   capture-reload.png   the page the reopened, filled-in form sent itself to
#
# Usage: addin/ui/capture-shots.sh [OUT [BIN64 [PREFIX]]]   (OUT: addin/ui/docs)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=$(mkdir -p "${1:-$root/addin/ui/docs}" && cd "${1:-$root/addin/ui/docs}" && pwd)
bin=$(cd "${2:-$root/build/win64/bin}" && pwd)
prefix=${3:-$root/build/shot-prefix}
display=:${SHOT_DISPLAY:-59}
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

. "$root/scripts/shot-prefix.sh"
prefix=$(shot_prefix "$prefix")

Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
shots=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null || true; WINEPREFIX=$prefix wineserver -k 2>/dev/null || true; rm -rf "$shots"' EXIT
sleep 2
status=0
DISPLAY=$display TORVA_WINEPREFIX=$prefix "$root/scripts/wine-run.sh" explorer /desktop=capture,1024x768 \
    "$(winpath "$bin/capture_demo.exe")" "$(winpath "$shots")" || status=$?
for bmp in "$shots"/*.bmp; do
    [ -e "$bmp" ] || continue
    name=$(basename "$bmp" .bmp)
    convert "$bmp" "$out/$name.png"
    echo "wrote $out/$name.png"
done
exit $status
