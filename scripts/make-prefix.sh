#!/usr/bin/env bash
# Makes the project's Wine prefix (64-bit with 32-bit support) once, then points
# HKLM\SOFTWARE\Kobel\TORVA "Location" (32-bit view) at the staged install folder.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
export TORVA_WINEPREFIX="${TORVA_WINEPREFIX:-$root/build/wineprefix}"
install_dir="${1:-$root/build/install}"
run="$here/wine-run.sh"
stamp="$TORVA_WINEPREFIX/.torva-prefix-1"

if [ ! -f "$stamp" ]; then
    echo "make-prefix: creating $TORVA_WINEPREFIX (takes a few minutes the first time)"
    rm -rf "$TORVA_WINEPREFIX"
    mkdir -p "$(dirname "$TORVA_WINEPREFIX")"
    "$run" wineboot -i >/dev/null 2>&1 || true
    WINEPREFIX="$TORVA_WINEPREFIX" wineserver -w || true
    # Headless: windows exist and work but are drawn nowhere.
    "$run" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
    # The desktop process of a running server keeps the graphics driver it
    # started with: stop the server so that the next one starts headless.
    WINEPREFIX="$TORVA_WINEPREFIX" wineserver -k 2>/dev/null || true
    WINEPREFIX="$TORVA_WINEPREFIX" wineserver -w 2>/dev/null || true
    touch "$stamp"
fi

# Dialog fonts with Japanese glyphs, applied to existing prefixes too: the
# proportional dialog faces get the proportional IPAPGothic (a fixed-pitch
# face makes labels wider than on Windows and clips them), the fixed-pitch
# "MS Gothic" gets IPAGothic. Both faces come with fonts-ipafont-gothic.
fonts_stamp="$TORVA_WINEPREFIX/.torva-fonts-2"
if [ ! -f "$fonts_stamp" ]; then
    for font in "MS UI Gothic" "MS Shell Dlg" "MS Shell Dlg 2" "MS PGothic"; do
        "$run" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d IPAPGothic /f >/dev/null
    done
    "$run" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "MS Gothic" /d IPAGothic /f >/dev/null
    touch "$fonts_stamp"
fi

# A program that crashes ends there and then, as in a test run it must: the
# prefix's automatic debugger can hang on a crashed 32-bit process and leave
# the test waiting for CTest's time-out.
debugger_stamp="$TORVA_WINEPREFIX/.torva-no-debugger-1"
if [ ! -f "$debugger_stamp" ]; then
    for view in 64 32; do
        "$run" reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f /reg:$view >/dev/null 2>&1 || true
    done
    touch "$debugger_stamp"
fi

mkdir -p "$install_dir"
win_install=$("$run" winepath -w "$install_dir" 2>/dev/null | tr -d '\r')
"$run" reg add 'HKLM\SOFTWARE\Kobel\TORVA' /v Location /d "$win_install" /f /reg:32 >/dev/null
echo "make-prefix: Location = $win_install"
