#!/usr/bin/env bash
# The export step of the main job: everything the user's databases hold (the
# main road's entry included) is ticked and exported with a passphrase
# through the export dialog, the PIN dialog and the progress dialog, each
# answered as a user would; then the first lines of the CSV file are printed
# (converted from code page 932).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TORVA_WINEPREFIX="${TORVA_WINEPREFIX:-$root/build/wineprefix}"
out="$root/build/vantrel-export.csv"
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
cat <<'TXT'
Then the export utility's export: every stored item is ticked, the export
dialog gets the target file and a passphrase, the PIN dialog of the export
is answered with the test PIN, and the progress dialog reports the end.
TXT
rm -f "$out"
"$root/scripts/wine-run.sh" "$root/build/win64/bin/vantrel_export_host.exe" export \
    "$(winpath "$out")" "main-job passphrase" || echo "(the export reported a failure)"
if [ -f "$out" ]; then
    echo "First lines of $out (secret fields sealed with the passphrase):"
    head -n 8 "$out" | iconv -f CP932 -t UTF-8 | cut -c1-200
fi
