#!/usr/bin/env bash
# Draws the picture the program's window shows: the program's name beside a planet with a
# satellite on its orbit, on a night sky. Writes a baseline JPEG of 330 x 100, Y sampled
# 2x2 and Cb, Cr 1x1, as the program embeds it. Run by hand when the design changes; the
# JPEG is kept beside this script and compiled into the program from there.
# Usage: make_picture.sh [OUTPUT]   (default: tle_picture.jpg next to this script)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/tle_picture.jpg}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The orbit is an ellipse tilted by -14 degrees around the planet at (62, 52); its far half
# is drawn before the planet and its near half after, so the planet hides the far side.
orbit='translate 62,52 rotate -14'
convert -size 330x100 gradient:'#07122b-#183a70' \
  -fill '#dfe8ff' -stroke none \
  -draw 'point 12,9 point 118,14 point 305,10 point 250,88 point 160,92 point 210,7 point 290,60' \
  -draw 'circle 140,30 141,30 circle 320,33 321,33 circle 24,86 25,86' \
  -fill none -stroke '#f2c94c' -strokewidth 1.6 \
  -draw "$orbit ellipse 0,0 50,15 180,360" \
  -stroke none -fill '#2b7bc0' -draw 'circle 62,52 62,28' \
  -fill '#49a35a' -draw 'ellipse 55,46 9,6 0,360 ellipse 72,60 7,5 0,360' \
  -fill '#9fd0ff' -draw 'ellipse 56,38 6,3 0,360' \
  -fill none -stroke '#f2c94c' -strokewidth 1.6 \
  -draw "$orbit ellipse 0,0 50,15 0,180" \
  -stroke none -fill '#ffffff' \
  -draw "$orbit translate 35,11 rectangle -2,-2 2,2" \
  -fill '#8fb8ff' \
  -draw "$orbit translate 35,11 rectangle -9,-1 -4,1 rectangle 4,-1 9,1" \
  -fill '#ffffff' -font DejaVu-Sans-Bold -pointsize 44 -annotate +128+56 'TLE' \
  -fill '#f2c94c' -font DejaVu-Sans -pointsize 15 -annotate +130+82 'Загрузка данных' \
  "$work/picture.ppm"

cjpeg -baseline -quality 92 -sample 2x2,1x1,1x1 "$work/picture.ppm" >"$out"
