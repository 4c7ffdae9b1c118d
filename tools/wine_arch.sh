#!/usr/bin/env bash
# Which Windows build this machine can test, and the Wine loader that runs it.
# Sourced by the test, run and setup commands and by the tests' Wine wrapper.
#
# Some kernels run no 32-bit x86 code at all (ia32 emulation off). There Wine's
# 32-bit loader fails with "Exec format error", and so does its WoW64 mode, so
# the Windows tiers test the 64-bit twin of the program with Wine's 64-bit loader.
#   QUORREL_RUNS_32BIT  1 or 0: the probe's answer, worked out once and passed on
#   QUORREL_WIN_ARCH    32 or 64: the build under test; set it to force either one

quorrel_arch_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Runs a minimal static i386 ELF (91 bytes: exit(0) through int 0x80). It needs
# nothing installed, so the setup command can ask before it installs wine32.
quorrel_probe_32bit() {
    local probe code
    probe=$(mktemp "${TMPDIR:-/tmp}/quorrel-i386-probe.XXXXXX") || return 1
    printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5b\x00\x00\x00\x5b\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\x31\xc0\x40\x31\xdb\xcd\x80' >"$probe"
    chmod +x "$probe"
    "$probe" >/dev/null 2>&1
    code=$?
    rm -f "$probe"
    return "$code"
}

# Sets QUORREL_RUNS_32BIT (once) and QUORREL_WIN_ARCH (unless forced), and says
# in QUORREL_ARCH_REASON why that build.
quorrel_choose_arch() {
    if [ -z "${QUORREL_RUNS_32BIT:-}" ]; then
        if quorrel_probe_32bit; then QUORREL_RUNS_32BIT=1; else QUORREL_RUNS_32BIT=0; fi
    fi
    export QUORREL_RUNS_32BIT
    case "${QUORREL_WIN_ARCH:-}" in
        32|64) QUORREL_ARCH_REASON="forced by QUORREL_WIN_ARCH=$QUORREL_WIN_ARCH" ;;
        "")
            if [ "$QUORREL_RUNS_32BIT" = 1 ]; then
                QUORREL_WIN_ARCH=32 QUORREL_ARCH_REASON="the product; this kernel runs 32-bit x86 code"
            else
                QUORREL_WIN_ARCH=64 QUORREL_ARCH_REASON="this kernel runs no 32-bit x86 code"
            fi ;;
        *) echo "QUORREL_WIN_ARCH must be 32 or 64, not '$QUORREL_WIN_ARCH'" >&2; return 1 ;;
    esac
    export QUORREL_WIN_ARCH QUORREL_ARCH_REASON
}

# Makes every later Wine call of this shell and its children (wine, wineboot,
# winepath, wine reg) use the loader of the given bitness. /usr/bin/wine and the
# tools that call it pick the 32-bit loader whenever it is installed, so for 64
# the shims in tools/wine64 come first on PATH.
quorrel_use_wine() {
    if [ "$1" = 64 ]; then
        case ":$PATH:" in *":$quorrel_arch_dir/wine64:"*) ;; *) PATH="$quorrel_arch_dir/wine64:$PATH" ;; esac
        export PATH WINELOADER=/usr/lib/wine/wine64
    fi
}

# 32 or 64 from a Windows program's PE header (its machine field); empty if unreadable.
quorrel_pe_bits() {
    local offset machine
    offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 0
    [ -n "$offset" ] || return 0
    machine=$(od -An -tx2 -j$((offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
    case "$machine" in 014c) echo 32 ;; 8664) echo 64 ;; esac
}
