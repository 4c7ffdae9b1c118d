#!/usr/bin/env bash
# Runs one Windows test program under Wine in the test prefix: CTest's emulator for
# the MinGW builds, and the bench's way to boot that prefix. Boots the prefix on first
# use and, when no display is set, gives the program a private Xvfb one for its run.
#   wine_emulator.sh [--prefix=DIR] PROGRAM.exe [ARGS...]
#   wine_emulator.sh [--prefix=DIR] --prepare          only make the prefix ready
# QUORREL_WINEPREFIX, when set, wins over --prefix (the default is ./wineprefix).
# The program's own bitness picks Wine's loader (a prefix serves one bitness; --prepare
# takes QUORREL_WIN_ARCH's).
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../tools/wine_arch.sh"
prefix=
case "${1:-}" in --prefix=*) prefix=${1#--prefix=}; shift ;; esac
quorrel_choose_arch || exit 2
bits=$QUORREL_WIN_ARCH
[ "${1:-}" = "--prepare" ] || bits=$(quorrel_pe_bits "${1:-}")
[ -n "$bits" ] || bits=$QUORREL_WIN_ARCH
if [ "$bits" = 32 ] && [ "$QUORREL_RUNS_32BIT" = 0 ]; then
    echo "wine_emulator: ${1:-the prefix} is 32-bit, and this kernel runs no 32-bit x86 code" \
        "(test the win64 build instead)" >&2
    exit 1
fi
quorrel_use_wine "$bits"
export WINEPREFIX=${QUORREL_WINEPREFIX:-${prefix:-$PWD/wineprefix}}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d"
# Wine names Linux files in the locale's encoding; a bare shell has none, and the
# tests' paths with non-ASCII letters need UTF-8.
[ -n "${LC_ALL:-}${LANG:-}" ] || export LANG=C.UTF-8

prepare() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            DISPLAY= wineboot -i >/dev/null 2>&1 || { echo "wine_emulator: wineboot failed in $WINEPREFIX" >&2; exit 1; }
            wineserver -w
        fi
        # Without a window manager Wine stalls about 2 s whenever it hides or destroys
        # a window the manager would frame; windows that draw their own frames do not.
        if [ ! -f "$WINEPREFIX/.frames-drawn" ]; then
            DISPLAY= wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 &&
                touch "$WINEPREFIX/.frames-drawn"
        fi
    ) 9>"$WINEPREFIX.lock"
}

prepare || exit 1
[ "${1:-}" = "--prepare" ] && exit 0

xvfb=
if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 150 250); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb=$!
        for _ in $(seq 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            kill -0 "$xvfb" 2>/dev/null || break
            sleep 0.1
        done
        if kill -0 "$xvfb" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
            export DISPLAY=":$n"
            break
        fi
        xvfb=
    done
    [ -n "$xvfb" ] || { echo "wine_emulator: no free X display" >&2; exit 1; }
fi

wine "$@"
code=$?
if [ -n "$xvfb" ]; then
    # The prefix's desktop lives on this display: let the server go before the display does.
    timeout 60 wineserver -w
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
fi
exit "$code"
