#!/usr/bin/env bash
# The diagnosis tool Ostravo against the database service stand-in, on a
# pipe and database folder of its own: starts the service, runs Ostravo under
# a virtual display, takes a screenshot (build/ostravo-demo.png), ends Ostravo
# and stops the service by their ids.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root="$here/.."
install="$root/build/install"
run="$here/wine-run.sh"
. "$here/shot-prefix.sh"
demo=$(shot_prefix "$root/build/shot-prefix") || exit 1
export TORVA_WINEPREFIX="$demo" WINEPREFIX="$demo"
work=$(mktemp -d /tmp/ostravo-demo.XXXXXX)
mkdir -p "$work/Storage"
winwork=$(cd "$work" && "$run" cmd /c cd 2>/dev/null | tr -d '\r' || true)
[ -n "$winwork" ] || winwork="Z:${work//\//\\}"
pipe="ostravo-demo-$$"
key='HKLM\Software\Kobel\TORVA\DBMGR'

Xvfb :97 -screen 0 800x600x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=:97
sleep 1
"$run" reg add "$key" /v PipeName /d "$pipe" /f /reg:32 >/dev/null 2>&1
"$run" reg add "$key" /v DbPath /d "$winwork\\Storage" /f /reg:32 >/dev/null 2>&1
"$run" "$install/TvrDBInit.exe" "$winwork\\Storage" >/dev/null 2>&1
"$run" "$install/TvrDBService.exe" --pipe "$pipe" --folder "$winwork\\Storage" &
service=$!
sleep 2
"$run" "$install/Ostravo.exe" &
ostravo=$!
sleep 4
import -window root "$root/build/ostravo-demo.png" && echo "ostravo-demo: screenshot build/ostravo-demo.png"
kill "$ostravo" 2>/dev/null
kill "$service" 2>/dev/null
wait "$ostravo" "$service" 2>/dev/null
"$run" reg delete "$key" /v PipeName /f /reg:32 >/dev/null 2>&1
"$run" reg delete "$key" /v DbPath /f /reg:32 >/dev/null 2>&1
kill "$xvfb" 2>/dev/null
rm -rf "$work"
