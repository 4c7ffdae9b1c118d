#!/usr/bin/env bash
# Builds the 32-bit program from the committed tree (HEAD, exported to a fresh folder, so
# nothing of the working tree or its build folders leaks in) and writes
# dist/quorrel-<version>-win32.zip: quorrel.exe, README.txt (docs/README.txt, the text for
# whoever unpacks it, with the toolchain versions), LICENSE.txt (LICENSE), SHA256SUMS.
#   tools/release.sh            one build, then the archive
#   tools/release.sh --verify   two builds in two fresh folders under two time zones; exits
#                               non-zero unless the exe and the archive are byte for byte the same
# Entry times come from SOURCE_DATE_EPOCH, by default the commit's date.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

verify=0
case "${1:-}" in
    "") ;;
    --verify) verify=1 ;;
    *) echo "usage: tools/release.sh [--verify]" >&2; exit 2 ;;
esac

"$root/tools/setup.sh"

commit=$(git rev-parse --short HEAD)
version=$(git show HEAD:CMakeLists.txt | sed -n 's/^project([A-Za-z]* VERSION \([0-9]*\.[0-9]*\.[0-9]*\).*/\1/p')
[ -n "$version" ] || { echo "release: no MAJOR.MINOR.PATCH in project() of CMakeLists.txt" >&2; exit 1; }
zipname=quorrel-$version-win32.zip
# Only the archive's entry times take it. The build must not: the linker would stamp it into
# the exe and hide a link that is not reproducible by itself, as the suite's builds run it.
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct HEAD)}
unset SOURCE_DATE_EPOCH
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "release: the working tree has uncommitted changes; they are not in the archive" >&2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/quorrel-release.XXXXXX")
trap 'rm -rf "$work"' EXIT

# build DIR TZ: exports HEAD to DIR/quorrel, builds quorrel.exe and packs DIR/$zipname.
build() {
    local dir=$1 tz=$2
    local src=$dir/quorrel
    mkdir -p "$src"
    git archive --format=tar HEAD | tar -x -C "$src"
    # Only the product: the test framework is not configured, the tests not built.
    if ! (cd "$src" && TZ=$tz cmake --preset win -DGTEST_SOURCE_DIR="$dir/no-gtest" >"$dir/configure.log" 2>&1 \
            && TZ=$tz cmake --build --preset win --target quorrel >"$dir/build.log" 2>&1); then
        cat "$dir/configure.log" "$dir/build.log" 2>/dev/null >&2
        echo "release: the build in $dir failed" >&2
        return 1
    fi
    grep -o 'quorrel.exe: [0-9]* bytes' "$dir/build.log" | sed 's/^/release: /'
    local cxx ld
    cxx=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$src/build/win/CMakeCache.txt")
    ld=$("$cxx" -print-prog-name=ld)
    SOURCE_DATE_EPOCH=$epoch TZ=$tz python3 "$src/tools/release.py" pack --exe "$src/build/win/quorrel.exe" \
        --readme "$src/docs/README.txt" --license "$src/LICENSE" \
        --toolchain "$("$cxx" --version | head -n 1)" --toolchain "$("$ld" --version | head -n 1)" \
        --out "$dir/$zipname"
    SOURCE_DATE_EPOCH=$epoch python3 "$src/tools/release.py" check --exe "$src/build/win/quorrel.exe" --out "$dir/$zipname"
}

# same NAME A B: says whether two files hold the same bytes; 0 when they do.
same() {
    if cmp -s "$2" "$3"; then
        echo "release: $1 identical in both builds, sha256 $(sha256sum <"$2" | cut -d' ' -f1)"
        return 0
    fi
    echo "release: $1 DIFFERS between the builds ($(cmp -l "$2" "$3" 2>/dev/null | wc -l) bytes; sizes $(stat -c %s "$2") and $(stat -c %s "$3"))"
    return 1
}

start=$SECONDS
first=$work/one
echo "release: building $commit (version $version) in $first, TZ=UTC"
build "$first" UTC
if [ $verify -eq 1 ]; then
    # Another folder name and depth, another zone, a later wall clock.
    second=$work/two/a/deeper/folder
    echo "release: building $commit again in $second, TZ=Pacific/Kiritimati"
    build "$second" Pacific/Kiritimati
    ok=1
    same quorrel.exe "$first/quorrel/build/win/quorrel.exe" "$second/quorrel/build/win/quorrel.exe" || ok=0
    same "$zipname" "$first/$zipname" "$second/$zipname" || ok=0
    if [ $ok -eq 0 ]; then
        echo "release: verify FAILED: two builds of $commit differ ($((SECONDS - start)) s)"
        exit 1
    fi
    echo "release: verify passed: two builds of $commit gave the same bytes ($((SECONDS - start)) s)"
fi
mkdir -p "$root/dist"
cp "$first/$zipname" "$root/dist/$zipname"
echo "release: dist/$zipname, sha256 $(sha256sum <"$root/dist/$zipname" | cut -d' ' -f1)"
echo "release: quorrel.exe sha256 $(sha256sum <"$first/quorrel/build/win/quorrel.exe" | cut -d' ' -f1)"
