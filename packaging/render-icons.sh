#!/usr/bin/env bash
# Renders the program icon's bitmap sizes from icons/torvik.svg (librsvg2-bin's
# rsvg-convert). The PNGs are checked in, so building needs no SVG renderer;
# run this again after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/icons"
for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" torvik.svg -o "torvik-$size.png"
done
