#!/usr/bin/env bash
# Takes PNG screenshots of the add-in's notice window and selection dialogs
# under Xvfb, with the Japanese text drawn, into addin/ui/docs/.
#
# It uses its own copy of the project's Wine prefix with a real graphics
# driver (made on first use); the shared prefix stays headless.
#
# Usage: addin/ui/screenshots.sh [BIN64 [PREFIX]]
#   BIN64   folder with addin_ui_shots.exe and Zentrip.exe (build/win64/bin)
#   PREFIX  the prefix copy to use or make (build/shot-prefix)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
bin=$(cd "${1:-$root/build/win64/bin}" && pwd)
prefix=${2:-$root/build/shot-prefix}
out=$root/addin/ui/docs
display=:${SHOT_DISPLAY:-58}
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

. "$root/scripts/shot-prefix.sh"
prefix=$(shot_prefix "$prefix")
mkdir -p "$out"

Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; WINEPREFIX=$prefix wineserver -k 2>/dev/null || true' EXIT
sleep 2

# name, desktop size, seconds until the window shows (the entry dialog's
# store starts the relay program first)
shots=("notice 400x140 8" "frame 520x320 8" "entry 440x240 25" "change 440x240 8")
# Option dialog: its store starts the relay program first, like the entry dialog.
shots+=("option 400x440 25")
# Registration dialog: the relay first, then the page's capture and its copy.
shots+=("regist 840x460 30")
for shot in "${shots[@]}"; do
    read -r name size wait <<<"$shot"
    # SHOTS="option entry" takes only the named shots.
    if [ -n "${SHOTS:-}" ] && [[ " $SHOTS " != *" $name "* ]]; then continue; fi
    DISPLAY=$display TORVA_WINEPREFIX=$prefix "$root/scripts/wine-run.sh" explorer "/desktop=ui-$name,$size" \
        "$(winpath "$bin/addin_ui_shots.exe")" "$name" 60 >/dev/null 2>&1 &
    runner=$!
    sleep "$wait"
    DISPLAY=$display import -window root -crop "${size}+0+0" +repage "$out/$name.png"
    kill $runner 2>/dev/null || true
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    sleep 1
    echo "wrote $out/$name.png"
done
