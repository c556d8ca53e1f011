#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine. Idempotent:
# when everything is there it only checks and returns.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# A mirror in the middle of a sync fails an index now and then: the update is
# tried again, and an install goes ahead with what the lists hold after the
# last try (the install itself says when a package cannot be had).
update_lists() {
    local try
    for try in 1 2 3 4; do
        $SUDO apt-get update -q && return 0
        echo "install-deps: package lists incomplete (try $try), trying again" >&2
        sleep $((try * 5))
    done
    return 0
}
# A foreign architecture's index missing from one suite (a security suite
# caught mid-sync) leaves that architecture's packages only at the main
# suite's versions, while the machine's own would come from the other suite:
# packages of both architectures must match, so the install then takes every
# package from the main suite.
codename=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
install_packages() {
    local try
    for try in 1 2 3; do
        $SUDO apt-get install -y -q --no-install-recommends "$@" && return 0
        if [ -n "$codename" ]; then
            echo "install-deps: install failed (try $try); taking every package from $codename" >&2
            $SUDO apt-get install -y -q --no-install-recommends -t "$codename" "$@" && return 0
        fi
        echo "install-deps: install failed (try $try), updating the lists again" >&2
        update_lists
    done
    return 1
}

PACKAGES=(cmake ninja-build g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
          wine wine64 wine32:i386 libwine-dev xvfb xauth locales fonts-ipafont-gothic
          googletest imagemagick clang-format)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "install-deps: installing ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $SUDO dpkg --add-architecture i386
    fi
    export DEBIAN_FRONTEND=noninteractive
    update_lists
    install_packages "${missing[@]}"
fi

# Wine's ANSI code page follows LANG; ja_JP.UTF-8 gives code page 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    echo "install-deps: generating ja_JP.UTF-8"
    if ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
        echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
    fi
    $SUDO locale-gen >/dev/null
fi
# Wine's 32-bit side is a 32-bit Linux program. Where the kernel does not run
# those natively, run them under qemu's user-mode emulation through binfmt_misc.
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    if ! dpkg-query -W -f='${Status}' qemu-user-static 2>/dev/null | grep -q "install ok installed"; then
        echo "install-deps: no native 32-bit support; installing qemu-user-static"
        export DEBIAN_FRONTEND=noninteractive
        install_packages qemu-user-static
    fi
    binfmt=/proc/sys/fs/binfmt_misc
    [ -e "$binfmt/register" ] || $SUDO mount -t binfmt_misc binfmt_misc "$binfmt"
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    # Executables (type 2) and shared objects run directly, such as ld.so (type 3).
    [ -e "$binfmt/torva-i386" ] || echo ":torva-i386:M::${magic}\x02\x00\x03\x00:${mask}:/usr/bin/qemu-i386-static:F" | $SUDO tee "$binfmt/register" >/dev/null
    [ -e "$binfmt/torva-i386so" ] || echo ":torva-i386so:M::${magic}\x03\x00\x03\x00:${mask}:/usr/bin/qemu-i386-static:F" | $SUDO tee "$binfmt/register" >/dev/null
    /lib/ld-linux.so.2 --version >/dev/null 2>&1 || { echo "install-deps: 32-bit programs still do not run" >&2; exit 1; }
fi
echo "install-deps: all present"
