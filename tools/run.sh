#!/usr/bin/env bash
# The run command: builds quorrel.exe if needed and starts it under Wine, passing
# on its arguments (a .rec path given as a Linux path is translated for Wine).
# Compile works out of the box: the gcc.exe bridge (tools/gccbridge) is first on
# Wine's search path and runs the MinGW cross compiler.
# Without a display it starts a virtual one, runs the program for a few seconds,
# saves a screenshot to the path it prints, and exits.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/tools/setup.sh"
build=${QUORREL_BUILD_ROOT:-$root/build}
(cd "$root" && cmake --preset win -B "$build/win" >/dev/null)
cmake --build "$build/win" -j2 --target quorrel gcc_bridge | grep -E 'quorrel.exe: ' || true

headless=1
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then headless=0; fi
# The headless run has its own prefix: it draws its own window frames there
# (no window manager), which a desktop session would not want.
if [ "$headless" = 1 ]; then
    export WINEPREFIX=${WINEPREFIX:-$build/wineprefix-headless}
else
    export WINEPREFIX=${WINEPREFIX:-$build/wineprefix-run}
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree=d;mshtml=d;winemenubuilder.exe=d"}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Preparing a Wine prefix in $WINEPREFIX (once, about 20 s)..."
    DISPLAY= wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
fi
export WINEPATH="Z:${build//\//\\}\\win\\bridge${WINEPATH:+;$WINEPATH}"

args=()
for a in "$@"; do
    if [ -e "$a" ]; then args+=("$(winepath -w "$(readlink -f "$a")" 2>/dev/null)"); else args+=("$a"); fi
done

if [ "$headless" = 0 ]; then
    exec wine "$build/win/quorrel.exe" "${args[@]}"
fi

# No display: a virtual one, a screenshot, and a clean exit. Without a window
# manager Wine draws the frames itself (title bar in the screenshot, and no 2 s
# stall when a window is hidden).
if ! grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    DISPLAY= wine reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
fi
for n in $(seq 90 140); do [ -e /tmp/.X11-unix/X$n ] || break; done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$n"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
wine "$build/win/quorrel.exe" "${args[@]}" &
app=$!
for _ in $(seq 60); do xdotool search --name '^Quorrel' >/dev/null 2>&1 && break; sleep 0.5; done
sleep 2
shot="$build/run-screenshot.png"
import -window root "$shot"
kill "$app" 2>/dev/null || true
wineserver -k || true
kill "$xvfb" 2>/dev/null || true
wait 2>/dev/null || true
echo "No display: ran on a virtual one. Screenshot: $shot"
