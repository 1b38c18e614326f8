#!/usr/bin/env bash
# Renders the program's icon (resources/desktop/vorlane.svg) into the PNG sizes the hicolor
# theme wants beside the scalable one. Run after editing the SVG; the PNGs are kept in the
# repository so that building needs no SVG renderer. Needs rsvg-convert (librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../resources/desktop"
for size in 16 32 48 128; do
  mkdir -p "icons/${size}x${size}"
  rsvg-convert -w "$size" -h "$size" -o "icons/${size}x${size}/vorlane.png" vorlane.svg
done
