#!/usr/bin/env bash
# Takes a screenshot of iexplore.exe showing the login test page, filled in
# by a browser script, under Xvfb. It uses its own copy of the Wine prefix
# whose graphics driver is not the null one (the shared prefix stays
# headless).
#
# Usage: platform/browser/tools/screenshot.sh BIN64 PREFIX OUT.png
#   BIN64   folder with iexplore.exe and browser-pages/
#   PREFIX  a copy of the project's prefix without the null graphics driver
set -euo pipefail
bin=$(cd "$1" && pwd)
prefix=$(cd "$2" && pwd)
out=$3
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
display=:57
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

script=$(mktemp /tmp/browser-shot-XXXX.txt)
cat > "$script" <<SCRIPT
open "$(winpath "$bin/browser-pages/login.html")"
wait-page login.html
type username "yamada.taro"
type password "correct horse"
choose domain HEAD-OFFICE
expect-value username yamada.taro
SCRIPT

Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -f "$script"' EXIT
sleep 2
DISPLAY=$display TORVA_WINEPREFIX=$prefix "$root/scripts/wine-run.sh" explorer /desktop=shot,1024x768 \
    "$(winpath "$bin/iexplore.exe")" -keep -script "$(winpath "$script")" >/dev/null 2>&1 &
browser=$!
sleep "${SHOT_WAIT:-15}"
DISPLAY=$display import -window root "$out"
kill $browser 2>/dev/null || true
WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
echo "wrote $out"
