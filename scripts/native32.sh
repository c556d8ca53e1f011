#!/usr/bin/env bash
# Tells how this machine runs 32-bit Linux programs, and so Wine's 32-bit side:
# prints "native", "emulated" (through a qemu binfmt_misc entry, where a 32-bit
# Windows process needs a minute or more to start) or "none".
# TORVA_NATIVE32=1 or 0 in the environment overrides the answer.
case "${TORVA_NATIVE32:-}" in
    1) echo native; exit 0 ;;
    0) echo emulated; exit 0 ;;
esac
/lib/ld-linux.so.2 --version >/dev/null 2>&1 || { echo none; exit 0; }
binfmt=/proc/sys/fs/binfmt_misc
for entry in "$binfmt"/*; do
    [ -f "$entry" ] || continue
    case "$(basename "$entry")" in register|status) continue ;; esac
    if grep -qx enabled "$entry" 2>/dev/null && grep -q '^interpreter .*qemu-i386' "$entry" 2>/dev/null; then
        echo emulated; exit 0
    fi
done
echo native
