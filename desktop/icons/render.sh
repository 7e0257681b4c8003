#!/bin/sh
# Renders the PNG sizes of the program icon from turnova.svg (Debian package librsvg2-bin).
# The PNG files are committed; run this after changing the SVG:  desktop/icons/render.sh
set -e
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" turnova.svg --output "turnova-$size.png"
done
