#!/usr/bin/env bash
# Rebuilds res/icons/*.ico from the SVG line art in res/icons/src. The .ico files are
# committed, so building never runs this; run it after changing a drawing and commit
# both. Needs rsvg-convert (librsvg2-bin), icotool (icoutils), optipng and advpng
# (advancecomp).
#
# The toolbar icons and the 64 and 32 pixel application images are stored as PNG
# inside the .ico ("raw" images): a 40x40 32-bit bitmap costs about 6.8 KB of the
# executable, the same image as PNG well under 1 KB. The PNGs are recompressed
# without loss and stay 8-bit RGBA, the one form every icon reader takes. The 16
# pixel image stays a bitmap; it is small either way and the oldest icon readers
# expect one.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
src=$root/res/icons/src
out=$root/res/icons
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for tool in rsvg-convert icotool optipng advpng; do
    command -v "$tool" >/dev/null || { echo "make-icons: $tool is missing" >&2; exit 1; }
done

# Draws $1 at $2 pixels into $3, recompressed.
png() {
    rsvg-convert -w "$2" -h "$2" "$1" -o "$3"
    optipng -quiet -o7 -nc -nb "$3"
    advpng -q -z -4 "$3"
}

# Toolbar icons: 40x40 (96 DPI), 60x60 (150 %) and 80x80 (200 %) each; the file names
# are those of res/quorrel.rc and the sizes those of kToolbarIconImageSizes.
for name in open save record stop play compile prefs; do
    for size in 40 60 80; do png "$src/$name.svg" "$size" "$work/$name$size.png"; done
    icotool -c -o "$out/$name.ico" -r "$work/${name}40.png" -r "$work/${name}60.png" -r "$work/${name}80.png"
done

# Application icon: 64 and 32 from the full drawing, 16 from its own pixel-grid version.
png "$src/app.svg" 64 "$work/app64.png"
png "$src/app.svg" 32 "$work/app32.png"
rsvg-convert -w 16 -h 16 "$src/app-16.svg" -o "$work/app16.png"
icotool -c -o "$out/app.ico" -r "$work/app64.png" -r "$work/app32.png" "$work/app16.png"

ls -l "$out"/*.ico
