#!/usr/bin/env bash
# The diagnosis tool Ostravo against the database service stand-in, on a
# pipe and database folder of its own:
#  1. writes the four databases into a fresh folder and damages one payload
#     byte of "TORVA_ADMIN"; names the user the configured administrator
#     ("AdminUser"), so the administrator's dialog comes up;
#  2. starts the service, then the installed Ostravo.exe in a virtual desktop
#     under Xvfb; pictures the dialog with the damaged row "異常"
#     (build/ostravo-demo.png);
#  3. ticks the row and presses "初期化": the service initialises the
#     database, TvrDBInit.exe (beside the database folder) runs, the rows are
#     checked again; pictures the dialog with every row "正常"
#     (build/ostravo-demo-after.png);
#  4. closes Ostravo, stops the service by its id, removes the settings.
# The dialog is driven by build/win64/bin/ostravo_demo_user.exe as a user
# would (find the window, tick the box, press the button).
#
# Usage: scripts/ostravo-demo.sh [--user] [--docs]
#   --user  the same for a user who is not the administrator: the user's own
#           database is damaged and the user dialog comes up (pictures
#           build/ostravo-demo-user.png and build/ostravo-demo-user-after.png)
#   --docs  also copies the first picture to dbcheck/docs/ostravo-admin.png
#           (with --user: ostravo-user.png)
# OSTRAVO_DEMO_DISPLAY: the Xvfb display number (default 97).
set -u
as=admin docs=
for arg in "$@"; do
    case $arg in
        --user) as=user ;;
        --docs) docs=1 ;;
        *) echo "usage: $0 [--user] [--docs]" >&2; exit 2 ;;
    esac
done
shots=ostravo-demo
[ $as = user ] && shots=ostravo-demo-user
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
install="$root/build/install"
bin64="$root/build/win64/bin"
run="$here/wine-run.sh"
display=":${OSTRAVO_DEMO_DISPLAY:-97}"
. "$here/shot-prefix.sh"
demo=$(shot_prefix "$root/build/shot-prefix") || exit 1
export TORVA_WINEPREFIX="$demo" WINEPREFIX="$demo"
work=$(mktemp -d /tmp/ostravo-demo.XXXXXX)
mkdir -p "$work/Storage"
cp "$install/TvrDBInit.exe" "$work/"
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
winwork=$(winpath "$work")
pipe="ostravo-demo-$$"
key='HKLM\Software\Kobel\TORVA\DBMGR'
user="$bin64/ostravo_demo_user.exe"
rc=0

Xvfb "$display" -screen 0 480x300x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
cleanup() {
    if [ -n "${driver:-}" ]; then kill "$driver" 2>/dev/null; wait "$driver" 2>/dev/null; fi
    if [ -n "${service:-}" ]; then kill "$service" 2>/dev/null; wait "$service" 2>/dev/null; fi
    "$run" "$user" admin off >/dev/null 2>&1
    "$run" reg delete "$key" /v PipeName /f /reg:32 >/dev/null 2>&1
    "$run" reg delete "$key" /v DbPath /f /reg:32 >/dev/null 2>&1
    wineserver -k 2>/dev/null
    kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
sleep 1

# Waits for the driver's NAME.ready, pictures the screen into FILE, shows
# the rows and lets the driver go on.
picture() {
    local name=$1 file=$2 waited=0
    while [ ! -f "$work/$name.ready" ]; do
        if [ $waited -ge 400 ] || ! kill -0 "$driver" 2>/dev/null; then
            echo "ostravo-demo: no dialog ($name)" >&2
            return 1
        fi
        sleep 1
        waited=$((waited + 1))
    done
    import -window root "$file"
    echo "ostravo-demo: $name, screenshot ${file#"$root/"}:"
    sed 's/^/  /' "$work/$name.txt"
    touch "$work/$name.shot"
}

"$run" reg add "$key" /v PipeName /d "$pipe" /f /reg:32 >/dev/null 2>&1
"$run" reg add "$key" /v DbPath /d "$winwork\\Storage" /f /reg:32 >/dev/null 2>&1
if [ $as = user ]; then
    "$run" "$user" prepare "$winwork\\Storage" user || { echo "ostravo-demo: cannot prepare" >&2; exit 1; }
    "$run" "$user" admin off || { echo "ostravo-demo: cannot clear AdminUser" >&2; exit 1; }
else
    "$run" "$user" prepare "$winwork\\Storage" || { echo "ostravo-demo: cannot prepare" >&2; exit 1; }
    "$run" "$user" admin on || { echo "ostravo-demo: cannot set AdminUser" >&2; exit 1; }
fi
"$run" "$install/TvrDBService.exe" --pipe "$pipe" --folder "$winwork\\Storage" \
    --log "$winwork\\service.log" &
service=$!
sleep 2
"$run" explorer "/desktop=ostravo,480x300" "$(winpath "$user")" run "$winwork" \
    "$(winpath "$install/Ostravo.exe")" >/dev/null 2>&1 &
driver=$!
picture before "$root/build/$shots.png" || rc=1
[ $rc -eq 0 ] && { picture after "$root/build/$shots-after.png" || rc=1; }
if [ $rc -eq 0 ]; then
    wait "$driver"
    driver=
    echo "ostravo-demo: requests the service answered (code status state database):"
    sed 's/^/  /' "$work/service.log" | tr -d '\r'
    if [ -n "$docs" ]; then
        mkdir -p "$root/dbcheck/docs"
        cp "$root/build/$shots.png" "$root/dbcheck/docs/ostravo-$as.png"
        echo "ostravo-demo: copied to dbcheck/docs/ostravo-$as.png"
    fi
fi
exit $rc
