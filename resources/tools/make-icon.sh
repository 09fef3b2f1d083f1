#!/bin/sh
# Draws the program icon, strelmark.png: a page of text lines, one of them struck out.
# Needs ImageMagick. Run from resources/.
convert -size 128x128 xc:none \
  -fill '#2f5d8a' -draw 'roundrectangle 6,6 121,121 18,18' \
  -fill white -draw 'roundrectangle 26,18 101,109 6,6' \
  -fill '#9aa7b4' \
  -draw 'rectangle 36,32 91,38' -draw 'rectangle 36,48 83,54' \
  -draw 'rectangle 36,80 88,86' -draw 'rectangle 36,96 76,102' \
  -fill '#c0392b' -draw 'rectangle 30,62 97,70' \
  strelmark.png
