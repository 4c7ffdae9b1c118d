#!/usr/bin/env bash
# The test command: installs what is missing, builds, and runs all three tiers
#   1. native unit tests (host compiler, ASan+UBSan, ctest)
#   2. Win32 tests (MinGW build, GoogleTest, run by ctest under Wine on a private Xvfb display)
#   3. end-to-end tests (the real quorrel.exe under Wine, driven with xdotool)
#   and the fuzz targets of the parsers (clang, libFuzzer), a fixed number of inputs each
# The Wine tiers mostly wait (on Wine, X and the program's own timers), so the end-to-end
# tier starts as soon as its programs are built and runs beside the other builds and tiers,
# in its own prefix on its own display; the compilers (both builds at once, which fills the
# single-threaded steps of each) run at a lower priority than the tests.
# Before the total it prints how long each part took (the parts overlap).
# The last line is the total: "N passed, N failed" (", N skipped" when some were skipped).
# QUORREL_BUILD_ROOT chooses the build folder (default: build/ in the checkout).
# The Windows tiers test the 32-bit product where the kernel runs 32-bit x86 code, and
# its 64-bit twin (build/win64, Wine's 64-bit loader) where it does not; the 32-bit
# product is built, and its size printed, either way. QUORREL_WIN_ARCH=32 or 64 forces one.
set -uo pipefail
# Wine names Linux files in the locale's encoding: the tests' non-ASCII paths need UTF-8.
[ -n "${LC_ALL:-}${LANG:-}" ] || export LANG=C.UTF-8
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
source "$root/tools/wine_arch.sh"
quorrel_choose_arch || { echo "0 passed, 1 failed"; exit 1; }
"$root/tools/setup.sh" || { echo "setup failed"; echo "0 passed, 1 failed"; exit 1; }

build=${QUORREL_BUILD_ROOT:-$root/build}
native=$build/native
win=$build/win
logs=$build/logs
mkdir -p "$logs"
rm -f "$logs"/*.summary "$logs"/*.time "$logs/win32-junit.xml" "$logs/win-product.log"
if [ "$QUORREL_WIN_ARCH" = 64 ]; then
    tested=$build/win64 preset=win64 prefix_name=wineprefix64
else
    tested=$win preset=win prefix_name=wineprefix
fi
quorrel_use_wine "$QUORREL_WIN_ARCH"
export QUORREL_BUILD="$tested" QUORREL_ARTIFACTS="$build/artifacts"
win32_prefix=$build/$prefix_name
e2e_prefix=$build/$prefix_name-e2e

# Runs "$@" and writes its seconds to $logs/NAME.time.
timed() {
    local name=$1 start=$SECONDS
    shift
    "$@"
    local code=$?
    echo $((SECONDS - start)) >"$logs/$name.time"
    return $code
}

# Writes "passed failed 0" to $2 from the closing line of the ctest log $1 (none: no file).
ctest_summary() {
    local line total bad
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
    [ -n "$line" ] || return 0
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    echo "$((total - bad)) $bad 0" >"$2"
}

native_tier() {
    if cmake --preset native -B "$native" >"$logs/native-configure.log" 2>&1 &&
       nice -n 15 cmake --build "$native" -j2 >"$logs/native-build.log" 2>&1; then
        nice -n 15 ctest --test-dir "$native" --output-on-failure -j2 >"$logs/native-ctest.log" 2>&1
        ctest_summary "$logs/native-ctest.log" "$logs/native.summary"
    else
        echo "native build failed" >>"$logs/native-build.log"
    fi
}

win32_tier() {
    rm -rf "$tested/tests/results"
    # Without DISPLAY the emulator gives the tests a private virtual display.
    env -u DISPLAY QUORREL_WINEPREFIX="$win32_prefix" \
        ctest --test-dir "$tested" --output-on-failure --output-junit "$logs/win32-junit.xml" >"$logs/win32.log" 2>&1
    python3 "$root/tests/run_wine_tiers.py" ctest "$logs/win32-junit.xml" "$tested/tests/results" \
        "$logs/win32.summary" >>"$logs/win32.log" 2>&1
}

# The parsers under libFuzzer: a fixed number of inputs each, from the committed seeds.
fuzz_tier() {
    if cmake --preset fuzz -B "$build/fuzz" >"$logs/fuzz-configure.log" 2>&1 &&
       nice -n 15 cmake --build "$build/fuzz" -j2 >"$logs/fuzz-build.log" 2>&1; then
        ctest --test-dir "$build/fuzz" --output-on-failure >"$logs/fuzz.log" 2>&1
        ctest_summary "$logs/fuzz.log" "$logs/fuzz.summary"
    else
        echo "fuzz build failed" >>"$logs/fuzz-build.log"
    fi
}

e2e_tier() {
    QUORREL_WINEPREFIX="$e2e_prefix" python3 "$root/tests/run_wine_tiers.py" e2e "$logs/e2e.summary" \
        >"$logs/e2e.log" 2>&1
}

prepare_prefix() {
    QUORREL_WINEPREFIX=$1 "$root/tests/wine_emulator.sh" --prepare >/dev/null 2>&1
}

# The prefixes boot (about 15 s each, the first time) while the compilers run.
prepare_prefix "$e2e_prefix" &
e2e_boot=$!
prepare_prefix "$win32_prefix" &
win32_boot=$!

# Where the twin is tested, the product is still built: its target alone, no tests.
build_product() {
    [ "$tested" = "$win" ] && return 0
    cmake --preset win -B "$win" >"$logs/win-product.log" 2>&1 &&
        nice -n 15 cmake --build "$win" -j2 --target quorrel >>"$logs/win-product.log" 2>&1
}

win_ok=0 e2e_pid= native_pid=
start=$SECONDS
if cmake --preset "$preset" -B "$tested" >"$logs/win-configure.log" 2>&1 &&
   cmake --build "$tested" -j2 --target e2e_programs >"$logs/win-build.log" 2>&1; then
    { timed native native_tier; timed fuzz fuzz_tier; } &
    native_pid=$!
    wait "$e2e_boot"
    timed e2e e2e_tier &
    e2e_pid=$!
    if nice -n 15 cmake --build "$tested" -j2 >>"$logs/win-build.log" 2>&1 && build_product; then
        win_ok=1
        echo $((SECONDS - start)) >"$logs/win-build.time"
    fi
else
    { timed native native_tier; timed fuzz fuzz_tier; } &
    native_pid=$!
fi
# The Windows tier holds timing tests (gaps of 10 ms, spans within 60 ms) that even a
# low-priority compile beside them has upset, so it waits for the native tier too; the
# end-to-end tier is still running then anyway.
wait "$native_pid"
wait "$win32_boot"
[ "$win_ok" = 1 ] && timed win32 win32_tier
[ -n "$e2e_pid" ] && wait "$e2e_pid"

passed=0 failed=0 skipped=0
add() { passed=$((passed + $1)); failed=$((failed + $2)); skipped=$((skipped + ${3:-0})); }
# Adds a tier's counts; a tier that left none counts as one failure.
count() {
    if [ -f "$logs/$1.summary" ]; then
        read -r p f s <"$logs/$1.summary"
        add "$p" "$f" "$s"
    else
        add 0 1
    fi
}
seconds() { local t; t=$(cat "$logs/$1.time" 2>/dev/null) && echo "$1 $((t / 60))m$((t % 60))s"; }

echo "== native unit tests"
if [ -f "$logs/native.summary" ]; then
    tail -n 3 "$logs/native-ctest.log"
else
    grep -E 'Failed|Error' "$logs/native-ctest.log" 2>/dev/null | head -n 20
    tail -n 30 "$logs/native-build.log" "$logs/native-configure.log"
fi
count native

echo "== fuzz targets"
if [ -f "$logs/fuzz.summary" ]; then
    grep -E 'Test +#|tests passed' "$logs/fuzz.log"
else
    tail -n 30 "$logs/fuzz.log" "$logs/fuzz-build.log" "$logs/fuzz-configure.log" 2>/dev/null
fi
count fuzz

echo "== Windows build"
if [ "$win_ok" = 1 ] && [ "$tested" = "$win" ]; then
    grep -E 'quorrel.exe: [0-9]+ bytes' "$logs/win-build.log" | tail -n 1
elif [ "$win_ok" = 1 ]; then
    grep -E 'quorrel.exe: [0-9]+ bytes' "$logs/win-product.log" | tail -n 1
    grep -E 'quorrel.exe: [0-9]+ bytes' "$logs/win-build.log" | tail -n 1 | sed 's/quorrel.exe/64-bit twin/'
else
    echo "Windows build failed:"
    tail -n 30 "$logs/win-build.log" "$logs/win-configure.log" "$logs/win-product.log" 2>/dev/null
    add 0 1
fi

for tier in win32 e2e; do
    [ -f "$logs/$tier.log" ] || continue
    echo "== $tier tests"
    log=$logs/$tier.log
    # What each failure said, so that a run whose logs are gone can still be read.
    grep -E '^(1: )?\[  FAILED  \]|^(FAIL|ERROR):|^Traceback' "$log" | head -n 40
    awk '/: Failure$/ { n = 10 } /^(FAIL|ERROR): / { n = 25 } n > 0 { print; n-- }' "$log" | head -n 120
    [ -f "$logs/$tier.summary" ] || tail -n 30 "$log"
    tail -n 1 "$log"
    count "$tier"
done

echo "(logs in $logs)"
times=$(for part in native fuzz win-build win32 e2e; do seconds "$part"; done | paste -sd, - | sed 's/,/, /g')
echo "times: $times; total $((SECONDS / 60))m$((SECONDS % 60))s"
echo "Windows tiers: the $QUORREL_WIN_ARCH-bit build (${tested#"$root"/}), $QUORREL_ARCH_REASON"
if [ "$skipped" -gt 0 ]; then
    echo "$passed passed, $failed failed, $skipped skipped"
else
    echo "$passed passed, $failed failed"
fi
[ "$failed" -eq 0 ]
