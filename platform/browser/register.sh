#!/usr/bin/env bash
# Registers the WebBrowser control stand-in in the project's Wine prefix, in
# both bitnesses: browserctl64.dll through the 64-bit regsvr32 and
# browserctl32.dll through the 32-bit one (which writes the 32-bit registry
# view). The prefix is the project's own, so this replaces Wine's browser
# control there and nowhere else.
#
# Usage: platform/browser/register.sh [FOLDER64 [FOLDER32]]
#   defaults: build/install for both (where scripts/build.sh stages them).
# A 32-bit process start costs about a minute on this machine.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
dir64=$(cd "${1:-$root/build/install}" && pwd)
dir32=$(cd "${2:-$dir64}" && pwd)
run="$root/scripts/wine-run.sh"

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

"$run" regsvr32 /s "$(winpath "$dir64/browserctl64.dll")"
echo "registered $dir64/browserctl64.dll (64-bit)"
"$run" 'C:\windows\syswow64\regsvr32.exe' /s "$(winpath "$dir32/browserctl32.dll")"
echo "registered $dir32/browserctl32.dll (32-bit)"
