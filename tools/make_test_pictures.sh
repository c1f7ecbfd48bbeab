#!/usr/bin/env bash
# Makes small picture files with Debian's own tools (ImageMagick's convert, libjpeg-turbo's
# cjpeg) for the image tests and the fuzzing seeds: JPEGs in every colour layout the decoder
# handles, bitmap files of 1, 8, 24 and 32 bits, a multi-entry icon, and broken files.
# Usage: make_test_pictures.sh OUTPUT_DIRECTORY
set -euo pipefail
out=${1:?output directory}
mkdir -p "$out"
cd "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A picture with structure in it, top half warmer than the bottom half.
convert -size 48x32 gradient:'#F04010-#1040F0' -fill white -draw 'rectangle 4,4 11,11' "$work/source.ppm"
# For the JPEGs a larger, busier picture, so that most of each file is image data.
convert -size 128x96 gradient:'#F04010-#1040F0' -seed 7 -attenuate 0.6 +noise Uniform "$work/busy.ppm"

cjpeg -quality 85 -sample 2x2,1x1,1x1 "$work/busy.ppm" >baseline420.jpg
cjpeg -quality 85 -grayscale "$work/busy.ppm" >grayscale.jpg
cjpeg -quality 85 -progressive "$work/busy.ppm" >progressive.jpg
# ImageMagick writes CMYK pictures as Adobe YCCK JPEGs.
convert "$work/busy.ppm" -colorspace CMYK -sampling-factor 1x1 -quality 90 adobe_ycck.jpg
# The header broken right after the start-of-image marker, and a file cut in its image data.
{ head -c 2 baseline420.jpg; printf 'this is not a marker segment'; tail -c +40 baseline420.jpg; } >corrupt_header.jpg
head -c $(($(stat -c %s baseline420.jpg) * 3 / 4)) baseline420.jpg >truncated.jpg

convert "$work/source.ppm" -monochrome -type bilevel BMP3:bitmap1.bmp
convert "$work/source.ppm" -colors 64 -type palette -compress none BMP3:bitmap8.bmp
convert "$work/source.ppm" -type truecolor BMP3:bitmap24.bmp
convert "$work/source.ppm" -alpha set -channel A -evaluate set 50% +channel -define bmp3:alpha=true BMP3:bitmap32.bmp
convert "$work/source.ppm" -define icon:auto-resize=32,16 icon_two_sizes.ico
