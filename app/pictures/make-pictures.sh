#!/usr/bin/env bash
# Draws the main window's pictures with ImageMagick and writes them, in the
# framing their stored properties use, as data files beside the form
# (app/forms/pictures/). Run again after changing a drawing.
#   *.picture  Picture.Data: the graphic class name as a short string, then the BMP
#   *.glyph    Glyph.Data: the BMP's byte count (32-bit little-endian), then the BMP
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out="$here/../forms/pictures"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"
font=DejaVu-Sans-Bold

# The window's outline and face: 600 x 463, 16 colours. Fuchsia lies outside
# the window (it is the colour of the bottom-left pixel).
convert -size 600x463 xc:'#FF00FF' +antialias \
  -fill '#808080' -draw 'roundrectangle 0,0 599,462 30,30' \
  -fill '#000080' -draw 'roundrectangle 3,3 596,459 27,27' \
  -fill '#0000FF' -draw 'rectangle 8,6 593,30' \
  -fill '#000080' -draw 'rectangle 10,8 591,28' \
  -fill '#008080' -draw 'roundrectangle 14,88 33,452 9,9' \
  -fill '#00FFFF' -draw 'circle 23,110 23,105' -draw 'circle 23,140 23,136' -draw 'circle 23,170 23,167' \
  -fill '#C0C0C0' -draw 'rectangle 41,85 163,328' \
  -fill '#000080' -draw 'rectangle 43,87 161,326' \
  -fill '#C0C0C0' -draw 'rectangle 165,85 594,323' \
  -fill '#808080' -draw 'roundrectangle 158,321 594,458 20,20' \
  -fill '#0000FF' -draw 'roundrectangle 48,26 110,86 12,12' \
  -fill '#000080' -draw 'roundrectangle 51,28 107,83 10,10' \
  -fill '#FFFF00' -font "$font" -pointsize 15 -draw "text 50,368 'ZENTAVO'" \
  -fill '#00FFFF' -font "$font" -pointsize 11 -draw "text 64,386 'SUITE'" \
  -fill '#C0C0C0' -font "$font" -pointsize 9 -draw "text 44,420 'Component'" -draw "text 44,432 'Demonstration'" \
  +dither -colors 16 -type Palette BMP3:"$tmp/outline.bmp"

# The close button's glyph: a white cross on the button face; the olive
# bottom-left pixel marks what is transparent.
convert -size 11x9 xc:'#808000' +antialias \
  -fill black -draw 'line 1,0 9,8' -draw 'line 2,0 10,8' -draw 'line 9,0 1,8' -draw 'line 10,0 2,8' \
  -fill '#808000' -draw 'point 0,8' \
  -type TrueColor BMP3:"$tmp/close.bmp"

# The image button that opens the shaped-form demonstration: a gem in a blue
# ring on the window's navy.
convert -size 52x52 xc:'#000080' +antialias \
  -fill '#0000FF' -draw 'circle 25,25 25,1' \
  -fill '#00FFFF' -draw 'circle 25,25 25,5' \
  -fill '#008080' -draw 'polygon 25,8 42,25 25,42 8,25' \
  -fill '#00FFFF' -draw 'polygon 25,8 33,16 25,25 17,16' \
  -fill '#FFFFFF' -draw 'polygon 20,13 25,8 27,10 22,15' \
  -fill '#000080' -draw 'polygon 25,25 42,25 25,42' \
  -type TrueColor BMP3:"$tmp/gem.bmp"

# The framing demonstration's image button: a red plaque with rounded ends in
# a dark red frame; the fuchsia bottom-left pixel marks what lies outside.
convert -size 174x48 xc:'#FF00FF' +antialias \
  -fill '#782018' -draw 'roundrectangle 0,0 173,47 23,23' \
  -fill '#D04030' -draw 'roundrectangle 3,3 170,44 20,20' \
  -fill '#E86850' -draw 'roundrectangle 7,6 166,24 12,9' \
  -fill '#F7A090' -draw 'roundrectangle 14,8 159,13 3,3' \
  -type TrueColor BMP3:"$tmp/framing.bmp"

python3 - "$tmp" "$out" <<'PY'
import struct, sys
tmp, out = sys.argv[1], sys.argv[2]
def picture(src, dst):
    data = open(f"{tmp}/{src}", "rb").read()
    open(f"{out}/{dst}", "wb").write(bytes([7]) + b"TBitmap" + data)
def glyph(src, dst):
    data = open(f"{tmp}/{src}", "rb").read()
    open(f"{out}/{dst}", "wb").write(struct.pack("<I", len(data)) + data)
picture("outline.bmp", "MainOutline.picture")
# The image button's picture is a suite bitmap: its Data is the BMP file itself.
open(f"{out}/ImageFormButton.bmp", "wb").write(open(f"{tmp}/gem.bmp", "rb").read())
open(f"{out}/FramingButton.bmp", "wb").write(open(f"{tmp}/framing.bmp", "rb").read())
glyph("close.bmp", "Close.glyph")
PY
