#!/usr/bin/env bash
# render-icon.sh - renders the PNG sizes of the application icon from its
# SVG, and the two pictures of it in docs/ that show it at 16 and 48 pixels
# on a light and a dark background.  The PNGs are committed, so building and
# installing Vornic needs no SVG renderer; run this after changing the SVG.
#
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright The Vornic developers
#
# Needs rsvg-convert (librsvg2-bin) and ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."

icons=data/icons/hicolor
sizes=(16 24 32 48 64 128 256)
for tool in rsvg-convert convert; do
    command -v "$tool" >/dev/null ||
        { echo "render-icon: $tool is missing (apt-get install librsvg2-bin imagemagick)" >&2; exit 1; }
done

for size in "${sizes[@]}"; do
    mkdir -p "$icons/${size}x$size/apps"
    rsvg-convert -w "$size" -h "$size" "$icons/scalable/apps/io.github.vornic.vornic.svg" -o "$icons/${size}x$size/apps/io.github.vornic.vornic.png"
done

# Each picture: the icon at its real size on white and on a dark grey, and
# the same enlarged four times without smoothing, so its pixels can be judged.
for size in 16 48; do
    png=$icons/${size}x$size/apps/io.github.vornic.vornic.png
    tiles=()
    for background in '#ffffff' '#2b2b2b'; do
        tiles+=('(' -size $((size * 2))x$((size * 2)) "xc:$background" "$png" -gravity center -composite ')')
    done
    for background in '#ffffff' '#2b2b2b'; do
        tiles+=('(' -size $((size * 2))x$((size * 2)) "xc:$background" "$png" -gravity center -composite
                -filter point -resize 400% ')')
    done
    convert "${tiles[@]}" -background '#888888' -gravity west -splice 8x0 -gravity center +append \
        -gravity east -splice 8x0 -strip "docs/icon-$size.png"
done
