#!/usr/bin/env bash
# The test command: installs what is missing, builds, and runs all three tiers
#   1. native unit tests (host compiler, ASan+UBSan, ctest)
#   2. Win32 tests (MinGW build, GoogleTest, run under Wine on a private Xvfb display)
#   3. end-to-end tests (the real quorrel.exe under Wine, driven with xdotool)
# The last line is the total: "N passed, N failed" (", N skipped" when some were skipped).
# QUORREL_BUILD_ROOT chooses the build folder (default: build/ in the checkout).
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
"$root/tools/setup.sh" || { echo "setup failed"; echo "0 passed, 1 failed"; exit 1; }

build=${QUORREL_BUILD_ROOT:-$root/build}
native=$build/native
win=$build/win
logs=$build/logs
mkdir -p "$logs"
passed=0 failed=0 skipped=0
add() { passed=$((passed + $1)); failed=$((failed + $2)); skipped=$((skipped + ${3:-0})); }

echo "== native unit tests"
if cmake --preset native -B "$native" >"$logs/native-configure.log" 2>&1 &&
   cmake --build "$native" -j2 >"$logs/native-build.log" 2>&1; then
    ctest --test-dir "$native" --output-on-failure -j2 >"$logs/native-ctest.log" 2>&1
    tail -n 3 "$logs/native-ctest.log"
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$logs/native-ctest.log" | tail -n 1)
    if [ -n "$line" ]; then
        total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
        bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
        add $((total - bad)) "$bad"
    else
        grep -E 'Failed|Error' "$logs/native-ctest.log" | head -n 20
        add 0 1
    fi
else
    echo "native build failed:"; tail -n 30 "$logs/native-build.log" "$logs/native-configure.log"
    add 0 1
fi

echo "== Windows build"
if cmake --preset win -B "$win" >"$logs/win-configure.log" 2>&1 &&
   cmake --build "$win" -j2 >"$logs/win-build.log" 2>&1; then
    grep -E 'quorrel.exe: [0-9]+ bytes' "$logs/win-build.log" | tail -n 1
    export QUORREL_BUILD="$win" QUORREL_WINEPREFIX="$build/wineprefix" QUORREL_ARTIFACTS="$build/artifacts"
    for tier in win32 e2e; do
        echo "== $tier tests"
        summary="$logs/$tier.summary"
        rm -f "$summary"
        python3 "$root/tests/run_wine_tiers.py" "$tier" "$summary" >"$logs/$tier.log" 2>&1
        grep -E '^\[  FAILED  \]|^(FAIL|ERROR):|^Traceback' "$logs/$tier.log" | head -n 40
        # What each failure said, so that a run whose logs are gone can still be read.
        awk '/: Failure$/ { n = 10 } /^(FAIL|ERROR): / { n = 25 } n > 0 { print; n-- }' "$logs/$tier.log" | head -n 120
        tail -n 1 "$logs/$tier.log"
        if [ -f "$summary" ]; then
            read -r p f s <"$summary"
            add "$p" "$f" "$s"
        else
            tail -n 30 "$logs/$tier.log"
            add 0 1
        fi
    done
else
    echo "Windows build failed:"; tail -n 30 "$logs/win-build.log" "$logs/win-configure.log"
    add 0 1
fi

echo "(logs in $logs)"
if [ "$skipped" -gt 0 ]; then
    echo "$passed passed, $failed failed, $skipped skipped"
else
    echo "$passed passed, $failed failed"
fi
[ "$failed" -eq 0 ]
