#!/usr/bin/env bash
# Installs what is missing, builds both bitnesses and runs every test through
# Wine. Both builds' CTest runs share one long-lived wineserver.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
# How long each phase took, printed with the summary at the end.
phases=()
started=$SECONDS
phase() { phases+=("$1 $((SECONDS - started)) s"); started=$SECONDS; }
scripts/install-deps.sh || exit 1
phase "install"
scripts/build.sh || exit 1
phase "build"
case "$(scripts/native32.sh)" in
    native) echo "test: 32-bit programs run natively: every 32-bit test program runs in full" ;;
    *) echo "test: 32-bit programs run under emulation: the 32-bit build runs its subsets" ;;
esac

export TORVA_WINEPREFIX="$root/build/wineprefix"
WINEPREFIX="$TORVA_WINEPREFIX" wineserver -p
trap 'WINEPREFIX="$TORVA_WINEPREFIX" wineserver -k 2>/dev/null' EXIT
# One program run to the end before the parallel runs start: the server and
# the prefix's own services are up, so no test races their start.
scripts/wine-run.sh cmd /c exit > build/wine-warmup.log 2>&1 < /dev/null

# A test that fails is run once more; the log keeps both runs, and the
# summary names every test that needed a second run.

# Tests labelled "desktop" need the keyboard focus and the active window to
# stay where their script put them: a window that another test program opens
# meanwhile takes both. They run after the others, one program at a time.
jobs=$(nproc)
run=(--output-on-failure --repeat until-pass:2)
ctest --test-dir build/win64 -j "$jobs" -LE desktop "${run[@]}" > build/ctest-64.log 2>&1 &
pid64=$!
ctest --test-dir build/win32 -j "$jobs" -LE desktop "${run[@]}" > build/ctest-32.log 2>&1 &
pid32=$!
wait $pid64; rc64=$?
wait $pid32; rc32=$?
phase "tests"
rcdesk=0
for bits in 64 32; do
    ctest --test-dir "build/win$bits" -L desktop "${run[@]}" > "build/ctest-desktop-$bits.log" 2>&1 || rcdesk=1
    phase "desktop tests ($bits-bit)"
done

passed=0; failed=0
logs=(build/ctest-64.log build/ctest-32.log build/ctest-desktop-64.log build/ctest-desktop-32.log)
for log in "${logs[@]}"; do
    echo "===== $(basename "$log" .log) ====="
    cat "$log"
    line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1)
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    nfail=$(sed -E 's/.*tests passed, ([0-9]+) tests failed.*/\1/' <<<"$line")
    if [ -n "$line" ]; then
        passed=$((passed + total - nfail)); failed=$((failed + nfail))
    fi
done
retried=$(grep -hE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*\*\*\*' "${logs[@]}" | sed -E 's/.*Test +#[0-9]+: ([^ ]+).*/\1/' | sort -u | tr '\n' ' ')
[ -n "$retried" ] && echo "failed once, run again: $retried"
echo "slowest test programs:"
grep -hE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: ' "${logs[@]}" |
    sed -E 's/.*Test +#[0-9]+: ([^ ]+) .* ([0-9.]+) sec$/\2 \1/' | sort -rn | head -8 |
    while read -r secs name; do printf '  %8s s  %s\n' "$secs" "$name"; done
echo "phases: $(IFS=','; echo "${phases[*]}" | sed 's/,/, /g')"
echo "$passed passed, $failed failed"
[ $rc64 -eq 0 ] && [ $rc32 -eq 0 ] && [ $rcdesk -eq 0 ]
