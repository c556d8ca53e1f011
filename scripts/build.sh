#!/usr/bin/env bash
# Builds both bitnesses, stages every deliverable in build/install and makes
# the Wine prefix whose "Location" points there.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=$(nproc)
# A compiler cache, where the machine has one, is shared by every checkout.
launcher=()
if command -v ccache >/dev/null 2>&1; then
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$root")}"
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Where 32-bit programs run natively the 32-bit build runs every test program
# in full; under emulation it runs the subsets chosen for a slow start.
native32=OFF
[ "$(scripts/native32.sh)" = native ] && native32=ON
for bits in 32 64; do
    dir="build/win$bits"
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
              -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-mingw$bits.cmake" \
              -DCMAKE_INSTALL_PREFIX="$root/build/install" "${launcher[@]}" \
              -DTORVA_NATIVE32=$native32 >/dev/null
    elif [ "$(sed -n 's/^TORVA_NATIVE32:BOOL=//p' "$dir/CMakeCache.txt")" != "$native32" ]; then
        cmake -S . -B "$dir" -DTORVA_NATIVE32=$native32 >/dev/null
    fi
    cmake --build "$dir" -j "$jobs"
    cmake --install "$dir" >/dev/null
done
scripts/make-prefix.sh "$root/build/install"

# The WebBrowser control stand-in is registered in the prefix in both
# bitnesses; again only when the DLLs changed (a 32-bit regsvr32 is slow here).
stamp="$root/build/wineprefix/.torva-browserctl"
sum=$(cat build/install/browserctl64.dll build/install/browserctl32.dll | md5sum)
if [ "$(cat "$stamp" 2>/dev/null)" != "$sum" ]; then
    platform/browser/register.sh "$root/build/install"
    echo "$sum" > "$stamp"
fi
