#!/usr/bin/env bash
# Writes the PngFuzz seed images with ImageMagick: one per colour type and depth the loader converts.
set -euo pipefail
cd "$(dirname "$0")/seeds/PngFuzz"
convert -strip -size 5x3 gradient:red-blue PNG24:rgb8.png
convert -strip -size 4x4 gradient:red-blue -alpha set -channel A -evaluate set 50% PNG32:rgba8.png
convert -strip -size 3x2 gradient:white-black -depth 16 PNG48:rgb16.png
convert -strip -size 6x2 xc:red xc:green xc:blue +append -colors 3 PNG8:palette.png
convert -strip -size 4x4 gradient:white-black -colorspace Gray -depth 8 -define png:color-type=0 -define png:bit-depth=8 grey8.png
convert -strip -size 8x2 pattern:checkerboard -colorspace Gray -depth 1 -define png:bit-depth=1 -define png:color-type=0 grey1.png
convert -strip -size 9x9 gradient:yellow-blue -interlace PNG PNG24:interlaced.png
convert -strip -size 2x2 xc:gray50 -define png:color-type=4 -define png:bit-depth=8 greyalpha.png
convert -strip -size 2x1 xc:red xc:none +append PNG8:palette-trns.png
