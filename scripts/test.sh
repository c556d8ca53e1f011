#!/usr/bin/env bash
# Installs what is missing, builds both bitnesses and runs every test through
# Wine. The two builds' tests run side by side, each in a Wine prefix of its
# own: its own wineserver (so its own windows, focus and named objects), its
# own registry and its own install folder, with the database beside it.
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
# Files that drift from the house style are listed, never failed on.
scripts/format-drift.sh
# The scripts' own tests: a second or less.
scripts_rc=0
for t in scripts/tests/*-test.sh; do bash "$t" || scripts_rc=1; done
case "$(scripts/native32.sh)" in
    native) echo "test: 32-bit programs run natively: every 32-bit test program runs in full" ;;
    *) echo "test: 32-bit programs run under emulation: the 32-bit build runs its subsets" ;;
esac

# The 64-bit build's tests use the prefix and install folder that the build
# made; the 32-bit build's use copies of both, made afresh for every run
# while no server runs on the original.
prefix64="$root/build/wineprefix"
prefix32="$root/build/wineprefix32"
install32="$root/build/install32"
WINEPREFIX="$prefix64" wineserver -k 2>/dev/null
WINEPREFIX="$prefix64" wineserver -w 2>/dev/null
WINEPREFIX="$prefix32" wineserver -k 2>/dev/null
WINEPREFIX="$prefix32" wineserver -w 2>/dev/null
rm -rf "$prefix32" "$install32"
cp -a "$prefix64" "$prefix32"
mkdir -p "$install32"
find build/install -mindepth 1 -maxdepth 1 ! -name Storage -exec cp -a {} "$install32/" \;
TORVA_WINEPREFIX="$prefix32" scripts/make-prefix.sh "$install32" > /dev/null || exit 1
trap 'for p in "$prefix64" "$prefix32"; do WINEPREFIX="$p" wineserver -k 2>/dev/null; done' EXIT
phase "prefixes"

# A test that fails is run once more; the log keeps both runs, and the
# summary names every test that needed a second run.
#
# Tests labelled "desktop" need the keyboard focus and the active window to
# stay where their script put them: a window that another test program of
# the same prefix opens meanwhile takes both. They run after the others, one
# program at a time.
jobs=$(nproc)
run=(--output-on-failure --repeat until-pass:2)
run_build() {
    local bits=$1 prefix=$2 rc=0 begun=$SECONDS
    export TORVA_WINEPREFIX="$prefix"
    WINEPREFIX="$prefix" wineserver -p
    # One program run to the end before the parallel runs start: the server
    # and the prefix's own services are up, so no test races their start.
    scripts/wine-run.sh cmd /c exit > "build/wine-warmup-$bits.log" 2>&1 < /dev/null
    ctest --test-dir "build/win$bits" -j "$jobs" -LE desktop "${run[@]}" > "build/ctest-$bits.log" 2>&1 || rc=1
    local between=$SECONDS
    ctest --test-dir "build/win$bits" -L desktop "${run[@]}" > "build/ctest-desktop-$bits.log" 2>&1 || rc=1
    echo "$bits-bit tests $((between - begun)) s, then desktop tests $((SECONDS - between)) s" > "build/test-times-$bits.txt"
    return $rc
}
run_build 64 "$prefix64" & pid64=$!
run_build 32 "$prefix32" & pid32=$!
wait $pid64; rc64=$?
wait $pid32; rc32=$?
phase "tests"

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
cat build/test-times-64.txt build/test-times-32.txt 2>/dev/null
echo "phases: $(IFS=','; echo "${phases[*]}" | sed 's/,/, /g')"
echo "$passed passed, $failed failed"
[ $scripts_rc -eq 0 ] || echo "a test of the scripts failed (see above)"
[ $rc64 -eq 0 ] && [ $rc32 -eq 0 ] && [ $scripts_rc -eq 0 ]
