#!/bin/sh
# Renders the committed PNG icons from kalvanta.svg (needs rsvg-convert from
# librsvg2-bin). Run it after changing the SVG and commit the PNGs.
set -eu
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" kalvanta.svg -o "kalvanta-$size.png"
done
