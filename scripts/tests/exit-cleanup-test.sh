#!/usr/bin/env bash
# The main job's status: 0 when every step passed, whatever its cleanup does
# when it ends; non-zero exactly when a step failed.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
failures=0
expect() {
    local want=$1 steps=$2 cleanup=$3 got
    bash -c "set -euo pipefail; source '$here/exit-cleanup.sh'; on_exit_cleanup '$cleanup'; $steps" >/dev/null 2>&1
    got=$?
    if { [ "$want" = 0 ] && [ "$got" -ne 0 ]; } || { [ "$want" != 0 ] && [ "$got" -eq 0 ]; }; then
        echo "exit-cleanup-test: steps '$steps', cleanup '$cleanup': status $got, expected $want" >&2
        failures=$((failures + 1))
    fi
}
expect 0 'true; true' 'false'
expect 0 'true' 'exit 7'
expect 0 'true' 'true'
expect 3 'true; (exit 3); true' 'true'
expect 3 'true; (exit 3)' 'false'
expect 1 'false' 'true'
# The main job itself goes through the helper, not a trap of its own.
if grep -q "trap " "$here/run-main.sh" || ! grep -q "on_exit_cleanup" "$here/run-main.sh"; then
    echo "exit-cleanup-test: run-main.sh does not clean up through on_exit_cleanup" >&2
    failures=$((failures + 1))
fi
[ $failures -eq 0 ] && echo "exit-cleanup-test: passed"
[ $failures -eq 0 ]
