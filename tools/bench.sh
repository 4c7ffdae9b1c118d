#!/usr/bin/env bash
# The benchmark command: builds the benchmarks in Release (no sanitizers), natively
# and for Windows, runs them (the Windows ones under Wine, on a private virtual
# display, in a prefix of their own that draws its own frames) and prints one
# table. Some 3 to 5 minutes on two cores; building the players takes most of it.
# The raw outputs stay in build/bench/. Where the kernel runs no 32-bit x86 code the
# Wine figures are the 64-bit twin's (tools/wine_arch.sh); the size is the product's.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/tools/wine_arch.sh"
quorrel_choose_arch
"$root/tools/setup.sh"
build=${QUORREL_BUILD_ROOT:-$root/build}
native=$build/bench-native
win=$build/bench-win$QUORREL_WIN_ARCH
# At 32 bits the Wine figures are the shipped exe's; the twin times an exe of its own build.
toolchain=$root/cmake/mingw-i686.cmake app_exe=$build/win/quorrel.exe twin_target=
if [ "$QUORREL_WIN_ARCH" = 64 ]; then
    toolchain=$root/cmake/mingw-x86_64.cmake app_exe=$win/quorrel.exe twin_target=quorrel
fi
out=$build/bench
mkdir -p "$out"

step() { echo "-- $1" >&2; }
quiet() { # runs a build step, shows its log only when it fails
    local log=$1; shift
    "$@" >"$log" 2>&1 || { tail -n 30 "$log" >&2; exit 1; }
}

step "building (Release, logs in $out)"
# The shipped program: the win preset's size-optimised build.
quiet "$out/product-build.log" bash -c "cd '$root' && cmake --preset win -B '$build/win' && cmake --build '$build/win' -j2 --target quorrel"
quiet "$out/native-build.log" bash -c "cmake -S '$root' -B '$native' -DCMAKE_BUILD_TYPE=Release -DQUORREL_SANITIZE=OFF &&
    cmake --build '$native' -j2 --target bench_player_stub_bench bench_player_build_bench"
quiet "$out/win-build.log" bash -c "cmake -S '$root' -B '$win' -DCMAKE_TOOLCHAIN_FILE='$toolchain' -DCMAKE_BUILD_TYPE=Release &&
    cmake --build '$win' -j2 --target $twin_target recfile_bench shell_hook_cost playback_timing startup_timing"

quorrel_use_wine "$QUORREL_WIN_ARCH"
export WINEPREFIX=$build/wineprefix-bench$QUORREL_WIN_ARCH
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    step "preparing a Wine prefix in $WINEPREFIX (once, about 20 s)"
    DISPLAY= wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
fi
if ! grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    DISPLAY= wine reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
fi

for n in $(seq 160 220); do [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break; done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$n"
cleanup() { wineserver -k 2>/dev/null || true; kill "$xvfb" 2>/dev/null || true; }
trap cleanup EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done

winpath() { echo "Z:${1//\//\\}"; }
rm -rf "$out/app" && mkdir -p "$out/app" && cp "$app_exe" "$out/app/"
step "start-up, .rec files, hook cost, playback (under Wine)"
wine "$win/tests/startup_timing.exe" "$(winpath "$out/app/quorrel.exe")" 7 >"$out/startup.txt" 2>&1
wine "$win/tests/recfile_bench.exe" >"$out/recfile.txt" 2>&1
wine "$win/tests/shell_hook_cost.exe" >"$out/hook.txt" 2>&1
wine "$win/tests/playback_timing.exe" >"$out/playback.txt" 2>&1 || true
step "player source generation and player builds (native)"
"$native/bench_player_stub_bench" --benchmark_format=json >"$out/stub.json" 2>"$out/stub.log"
"$native/bench_player_build_bench" --benchmark_filter='^BM_BuildPlayer/' --benchmark_format=json \
    >"$out/build.json" 2>"$out/build.log"

python3 - "$out" "$build/win/quorrel.exe" <<'EOF'
import json, os, re, sys
out, exe = sys.argv[1], sys.argv[2]
def text(name):
    with open(os.path.join(out, name), errors="replace") as f:
        return [l.rstrip() for l in f if l.strip()]
def grab(lines, pattern):
    for l in lines:
        m = re.search(pattern, l)
        if m:
            return m.group(1)
    return "(missing)"
rows = [("quorrel.exe size (win preset, as shipped)", "%d bytes" % os.path.getsize(exe))]
startup = text("startup.txt")
rows.append(("start-up, minimal Win32 window", grab(startup, r"minimal Win32 window: (.*)")))
rows.append(("start-up, quorrel.exe", grab(startup, r"quorrel\.exe: (.*)")))
rec = text("recfile.txt")
rows.append((".rec save, 1,000,000 events", grab(rec, r"^save [^:]*: (.*)")))
rows.append((".rec load, 1,000,000 events", grab(rec, r"^load [^:]*: (.*)")))
with open(os.path.join(out, "stub.json")) as f:
    for b in json.load(f)["benchmarks"]:
        what = "text only" if b["name"].startswith("BM_StubText") else "file to file"
        rows.append(("stub generation, 1,000,000 events, %s" % what,
                     "%.0f MB/s of .rec input" % (b["bytes_per_second"] / 1048576.0)))
with open(os.path.join(out, "build.json")) as f:
    for b in json.load(f)["benchmarks"]:
        n = int(b["name"].split("/")[1].split("/")[0])
        if "error_occurred" in b and b["error_occurred"]:
            rows.append(("player build, %s events" % format(n, ","), b.get("error_message", "failed")))
            continue
        rows.append(("player build, %s events" % format(n, ","),
                     "%.2f s (source %.0f ms, compiler %.2f s, player %.0f KB)" %
                     (b["stub_ms"] / 1000.0 + b["compile_s"], b["stub_ms"], b["compile_s"], b["player_KB"])))
hook = text("hook.txt")
for l in hook[1:]:
    label, _, value = l.strip().partition(":")
    rows.append(("hook cost per event, " + label.strip(), value.strip()))
for l in text("playback.txt"):
    rows.append(("playback", l.strip()))
width = max(len(r[0]) for r in rows)
print("| %s | %s |" % ("figure".ljust(width), "value"))
print("|%s|%s|" % ("-" * (width + 2), "-" * 7))
for name, value in rows:
    print("| %s | %s |" % (name.ljust(width), value))
EOF
