#!/usr/bin/env bash
# Rebuilds res/icons/*.ico from the SVG line art in res/icons/src. The .ico files are
# committed, so building never runs this; run it after changing a drawing and commit
# both. Needs rsvg-convert (librsvg2-bin) and icotool (icoutils).
#
# The toolbar icons and the 64 and 32 pixel application images are stored as PNG
# inside the .ico ("raw" images): a 40x40 32-bit bitmap costs about 6.8 KB of the
# executable, the same image as PNG well under 1 KB. The 16 pixel image stays a
# bitmap; it is small either way and the oldest icon readers expect one.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
src=$root/res/icons/src
out=$root/res/icons
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for tool in rsvg-convert icotool; do
    command -v "$tool" >/dev/null || { echo "make-icons: $tool is missing" >&2; exit 1; }
done

# Toolbar icons: one 40x40 image each; the file names are those of res/quorrel.rc.
for name in open save record stop play compile prefs; do
    rsvg-convert -w 40 -h 40 "$src/$name.svg" -o "$work/$name.png"
    icotool -c -o "$out/$name.ico" -r "$work/$name.png"
done

# Application icon: 64 and 32 from the full drawing, 16 from its own pixel-grid version.
rsvg-convert -w 64 -h 64 "$src/app.svg" -o "$work/app64.png"
rsvg-convert -w 32 -h 32 "$src/app.svg" -o "$work/app32.png"
rsvg-convert -w 16 -h 16 "$src/app-16.svg" -o "$work/app16.png"
icotool -c -o "$out/app.ico" -r "$work/app64.png" -r "$work/app32.png" "$work/app16.png"

ls -l "$out"/*.ico
