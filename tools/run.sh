#!/usr/bin/env bash
# The run command: builds quorrel.exe if needed and starts it under Wine, passing
# on its arguments (a .rec path given as a Linux path is translated for Wine).
# Compile works out of the box: the gcc.exe bridge (tools/gccbridge) is first on
# Wine's search path and runs the MinGW cross compiler.
# Without a display it starts a virtual one, runs the program for a few seconds,
# saves a screenshot of its window to the path it prints, and exits.
# On a kernel that runs no 32-bit x86 code it runs the 64-bit twin (build/win64)
# with Wine's 64-bit loader; QUORREL_WIN_ARCH=32 or 64 forces either build.
# Whatever fails, it says what and exits non-zero.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
fail() { echo "run: $*" >&2; exit 1; }
source "$root/tools/wine_arch.sh"
quorrel_choose_arch || exit 2
"$root/tools/setup.sh" || fail "installing what is missing failed"
build=${QUORREL_BUILD_ROOT:-$root/build}
if [ "$QUORREL_WIN_ARCH" = 64 ]; then
    preset=win64 suffix=64
    echo "Running the 64-bit build: $QUORREL_ARCH_REASON."
else
    preset=win suffix=
fi
win=$build/$preset
(cd "$root" && cmake --preset "$preset" -B "$win" >/dev/null) || fail "configuring $win failed"
cmake --build "$win" -j2 --target quorrel gcc_bridge >"$build/run-build.log" 2>&1 ||
    { tail -n 30 "$build/run-build.log" >&2; fail "building quorrel.exe failed (log: $build/run-build.log)"; }
grep -E 'quorrel.exe: ' "$build/run-build.log" || true
quorrel_use_wine "$QUORREL_WIN_ARCH"

headless=1
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then headless=0; fi
# The headless run has its own prefix: it draws its own window frames there
# (no window manager), which a desktop session would not want. A prefix serves
# one bitness.
if [ "$headless" = 1 ]; then
    export WINEPREFIX=${WINEPREFIX:-$build/wineprefix$suffix-headless}
else
    export WINEPREFIX=${WINEPREFIX:-$build/wineprefix$suffix-run}
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree=d;mshtml=d;winemenubuilder.exe=d"}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Preparing a Wine prefix in $WINEPREFIX (once, about 20 s)..."
    DISPLAY= wineboot -i >"$build/run-wineboot.log" 2>&1 && wineserver -w &&
        [ -f "$WINEPREFIX/system.reg" ] ||
        { tail -n 5 "$build/run-wineboot.log" >&2; fail "preparing the Wine prefix $WINEPREFIX failed"; }
fi
export WINEPATH="Z:${win//\//\\}\\bridge${WINEPATH:+;$WINEPATH}"
# Where Wine draws the frames itself, their caption buttons are Marlett glyphs.
# Debian's Wine looks for its own fonts (fonts-wine) in a folder it never finds,
# so the prefix is told where they are.
if [ -f /usr/share/wine/fonts/marlett.ttf ] &&
    ! grep -qF '"Path"="Z:\\usr\\share\\wine\\fonts"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    DISPLAY= wine reg.exe add 'HKCU\Software\Wine\Fonts' /v Path /d 'Z:\usr\share\wine\fonts' /f >/dev/null 2>&1 ||
        fail "could not give the prefix Wine's own fonts"
fi

# A missing recording, or a folder, is the user's slip: say so, and start the
# program all the same. Windows names files without regard to letter case.
if [ -n "${1:-}" ]; then
    if [ -d "$1" ]; then
        echo "$1: not a file" >&2
    elif [ ! -e "$1" ] && [[ "${1,,}" == *.rec ]]; then
        echo "$1: no such file" >&2
    fi
fi
args=()
for a in "$@"; do
    if [ -e "$a" ]; then
        w=$(winepath -w "$(readlink -f "$a")" 2>&1) && [ -n "$w" ] ||
            fail "could not give Wine the path of $a: ${w:-no answer}"
        args+=("$w")
    else
        args+=("$a")
    fi
done

if [ "$headless" = 0 ]; then
    exec wine "$win/quorrel.exe" "${args[@]}"
fi

# No display: a virtual one, a screenshot, and a clean exit. Without a window
# manager Wine draws the frames itself (title bar in the screenshot, and no 2 s
# stall when a window is hidden).
if ! grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    DISPLAY= wine reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 ||
        fail "could not set up the prefix's window frames"
fi
for n in $(seq 90 140); do [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break; done
# -noreset: the server would reset, pointer and all, when its last client leaves.
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
app=
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null
    wineserver -k 2>/dev/null
    kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
    return 0
}
trap cleanup EXIT
export DISPLAY=":$n"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
[ -e "/tmp/.X11-unix/X$n" ] || fail "the virtual display :$n did not start"
# The pointer starts at the screen's centre, over the centred window, and a
# tooltip it raises there would cover the buttons on the screenshot.
xdotool mousemove 0 0 || fail "could not move the pointer off the window"
wine "$win/quorrel.exe" "${args[@]}" >"$build/run-wine.log" 2>&1 &
app=$!
window=
for _ in $(seq 60); do
    window=$(xdotool search --onlyvisible --name '^Quorrel' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    kill -0 "$app" 2>/dev/null || break
    sleep 0.5
done
if [ -z "$window" ]; then
    tail -n 5 "$build/run-wine.log" >&2
    fail "quorrel.exe showed no window (Wine's output: $build/run-wine.log)"
fi
sleep 2
shot="$build/run-screenshot.png"
import -window root "$shot" || fail "the screenshot failed"
echo "No display: ran on a virtual one. Screenshot: $shot"
