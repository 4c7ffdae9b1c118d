#!/usr/bin/env bash
# Installs what building and testing need, and nothing that is already there.
# Idempotent; safe to run before every build. Debian packages only.
# Not installed here: librsvg2-bin, icoutils, optipng and advancecomp, needed only by tools/make-icons.sh
# to redraw the icons (building uses the committed .ico files).
set -euo pipefail

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

have_cmd cmake || need+=(cmake)
have_cmd g++ || need+=(g++)
have_cmd clang++ || need+=(clang)  # the fuzz preset: libFuzzer comes with it
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
have_pkg libbenchmark-dev || need+=(libbenchmark-dev)
have_cmd i686-w64-mingw32-g++-posix || need+=(g++-mingw-w64-i686-posix)
have_cmd x86_64-w64-mingw32-g++-posix || need+=(g++-mingw-w64-x86-64-posix)  # the win64 twin
have_cmd wine || need+=(wine)
[ -x /usr/lib/wine/wine64 ] || need+=(wine64)
# Wine's 32-bit loader only where the kernel runs 32-bit x86 code; elsewhere the
# tests use the 64-bit twin (tools/wine_arch.sh).
source "$(dirname "${BASH_SOURCE[0]}")/wine_arch.sh"
quorrel_choose_arch
if [ "$QUORREL_RUNS_32BIT" = 1 ]; then
    have_pkg wine32:i386 || need+=(wine32:i386)
fi
have_cmd Xvfb || need+=(xvfb)
# Wine's own fonts, a recommendation that --no-install-recommends skips: without
# Marlett the frames Wine draws itself show letters for their caption buttons.
have_pkg fonts-wine || need+=(fonts-wine)
have_cmd xdotool || need+=(xdotool)
have_cmd xwininfo || need+=(x11-utils)
# The end-to-end tests' two-monitor X server (tools/twohead.sh).
have_cmd Xorg || need+=(xserver-xorg-core)
have_pkg xserver-xorg-video-dummy || need+=(xserver-xorg-video-dummy)
have_cmd xrandr || need+=(x11-xserver-utils)
{ have_cmd import && import -version >/dev/null 2>&1; } || need+=(imagemagick)
have_cmd python3 || need+=(python3)

if [ ${#need[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    SUDO=sudo
else
    SUDO=
fi
echo "setup: installing ${need[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
if [ "$QUORREL_RUNS_32BIT" = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
