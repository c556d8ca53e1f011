#!/usr/bin/env bash
# The staged install folder holds the product and no tool that goes around
# its PIN: the secret-store fixture is for tests and demos only.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
install="$root/build/install"
[ -d "$install" ] || { echo "install-folder-test: no $install (build first)" >&2; exit 1; }
rc=0
for tool in PeltrixFixture.exe; do
    if [ -e "$install/$tool" ]; then
        echo "install-folder-test: $tool is installed beside the product" >&2
        rc=1
    fi
done
for deliverable in Zentrip.exe Mablix.exe Vantrel.exe Ostravo.exe Fenwix.dll Quorvel.dll; do
    [ -e "$install/$deliverable" ] || { echo "install-folder-test: $deliverable missing" >&2; rc=1; }
done
[ $rc -eq 0 ] && echo "install-folder-test: passed"
exit $rc
