#!/usr/bin/env bash
# Renders the program's icon data/icons/infil.svg into the PNG sizes of the
# hicolor theme (data/icons/hicolor/NxN/apps/). Run after changing the SVG and
# commit the pictures with it. Needs rsvg-convert (Debian: librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/.."
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "data/icons/hicolor/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" data/icons/infil.svg \
    -o "data/icons/hicolor/${size}x${size}/apps/cz.infil.Infil.png"
done
