# Sourced by the scripts that take screenshots. The project's Wine prefix
# draws nothing (null graphics driver); pictures are taken in a copy of it
# that draws on a virtual display, made on first use and brought up to date
# (fonts, install folder) on every use.
#
#   prefix=$(shot_prefix "$root/build/shot-prefix")
shot_prefix() {
    local dir=$1 root
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    if [ ! -d "$dir" ]; then
        cp -a "$root/build/wineprefix" "$dir" || return 1
        TORVA_WINEPREFIX=$dir "$root/scripts/wine-run.sh" reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f >/dev/null 2>&1 || true
        WINEPREFIX=$dir wineserver -w 2>/dev/null || true
    fi
    dir=$(cd "$dir" && pwd)
    TORVA_WINEPREFIX=$dir "$root/scripts/make-prefix.sh" "$root/build/install" >/dev/null
    WINEPREFIX=$dir wineserver -k 2>/dev/null || true
    printf '%s\n' "$dir"
}
