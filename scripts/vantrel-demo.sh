#!/usr/bin/env bash
# The export step of the main job: Vantrel.exe is started, everything the
# user's databases hold (the main road's entry included) is ticked in its
# tree and exported with a passphrase through the tool bar, the export
# dialog, the PIN dialog and the progress dialog, each answered as a user
# would; then the first lines of the CSV file are printed (converted from
# code page 932). The 64-bit build of the program runs here (a 32-bit start
# takes about a minute on a machine that emulates it); VANTREL_PROGRAM names
# another one, e.g. the installed build/install/Vantrel.exe.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TORVA_WINEPREFIX="${TORVA_WINEPREFIX:-$root/build/wineprefix}"
out="$root/build/vantrel-export.csv"
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
cat <<'TXT'
Then the export utility's export: Vantrel.exe starts, every stored item is
ticked in its tree, the export dialog gets the target file and a passphrase,
the PIN dialog of the export is answered with the test PIN, and the progress
dialog reports the end.
TXT
rm -f "$out"
program=()
[ -n "${VANTREL_PROGRAM:-}" ] && program=("$(winpath "$(realpath "$VANTREL_PROGRAM")")")
"$root/scripts/wine-run.sh" "$root/build/win64/bin/vantrel_user.exe" \
    "$(winpath "$out")" "main-job passphrase" "${program[@]}" || echo "(the export reported a failure)"
if [ -f "$out" ]; then
    echo "First lines of $out (secret fields sealed with the passphrase):"
    head -n 8 "$out" | iconv -f CP932 -t UTF-8 | cut -c1-200
fi
