#!/usr/bin/env bash
# Takes PNG screenshots of iexplore.exe with the TORVA toolbar under Xvfb,
# into addin/ui/docs/: the entry list dropped down over the login page
# ("browser-combo.png") and the toolbar's menu open ("browser-menu.png").
# quorvel_browser_shots.exe registers the installed add-in, stores the login
# page's entry, lets the browser fill the page in (the PIN is answered) and
# holds the state while the picture is taken.
#
# It uses its own copy of the project's Wine prefix with a real graphics
# driver (the same copy as screenshots.sh; made on first use).
#
# Usage: addin/ui/browser-screenshots.sh [BIN64 [PREFIX]]
#   BIN64   folder with quorvel_browser_shots.exe and e2e-pages/ (build/win64/bin)
#   PREFIX  the prefix copy to use or make (build/shot-prefix)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
bin=$(cd "${1:-$root/build/win64/bin}" && pwd)
prefix=${2:-$root/build/shot-prefix}
out=$root/addin/ui/docs
display=:${SHOT_DISPLAY:-59}
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

. "$root/scripts/shot-prefix.sh"
prefix=$(shot_prefix "$prefix")
mkdir -p "$out"

Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; WINEPREFIX=$prefix wineserver -k 2>/dev/null || true' EXIT
sleep 3

# The browser script's log (RunBrowser's, in the prefix's temporary folder)
# says when the state is reached.
log=$(find "$prefix/drive_c/users" -maxdepth 2 -iname temp -type d | head -1)/quorvel-e2e-log.txt
# name, mode, the script line that reaches the state
shots=("browser-combo combo combo-drop" "browser-menu menu toolbar-click")
for shot in "${shots[@]}"; do
    read -r name mode mark <<<"$shot"
    rm -f "$log"
    DISPLAY=$display TORVA_WINEPREFIX=$prefix "$root/scripts/wine-run.sh" explorer /desktop=shot,1024x768 \
        "$(winpath "$bin/quorvel_browser_shots.exe")" "$mode" 20 >/dev/null 2>&1 &
    runner=$!
    for _ in $(seq 1 240); do
        grep -q "ok [0-9]*: $mark" "$log" 2>/dev/null && break
        sleep 0.5
    done
    sleep 3 # drawn
    DISPLAY=$display import -window root -crop 900x700+0+0 +repage "$out/$name.png"
    wait $runner || true
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    sleep 1
    echo "wrote $out/$name.png"
done
