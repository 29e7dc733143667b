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
  -fill '#808080' -draw 'roundrectangle 0,0 599,462 26,26' \
  -fill '#000080' -draw 'roundrectangle 3,3 596,459 23,23' \
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

# The outlook bar demonstration's icons: six 32 x 32 pictures on a fuchsia
# ground (the image list's mask colour), in a grid of four columns.
icon() { convert -size 32x32 xc:'#FF00FF' +antialias "$@"; }
icon -fill '#F0F0F0' -stroke '#404040' -draw 'rectangle 3,8 28,24' \
  -draw 'line 3,8 15,17' -draw 'line 28,8 16,17' -type TrueColor "$tmp/icon1.bmp"   # inbox: a letter
icon -fill white -stroke '#404040' -draw 'rectangle 4,5 27,27' -fill '#C00000' -draw 'rectangle 4,5 27,11' \
  -stroke '#808080' -draw 'line 8,16 23,16' -draw 'line 8,20 23,20' -draw 'line 8,24 18,24' \
  -type TrueColor "$tmp/icon2.bmp"                                                   # calendar
icon -fill '#E0A060' -stroke '#604020' -draw 'circle 12,11 12,6' -draw 'circle 21,13 21,9' \
  -fill '#3060C0' -draw 'roundrectangle 4,18 20,28 4,4' -fill '#30A030' -draw 'roundrectangle 15,20 28,28 4,4' \
  -type TrueColor "$tmp/icon3.bmp"                                                   # contacts: two people
icon -fill white -stroke '#404040' -draw 'rectangle 5,4 26,28' -stroke '#008000' -strokewidth 3 \
  -draw 'polyline 9,16 14,22 23,9' -type TrueColor "$tmp/icon4.bmp"                 # tasks: a tick
icon -fill '#FFFF80' -stroke '#A0A000' -draw 'polygon 5,4 26,4 26,21 19,28 5,28' \
  -fill '#E0E060' -draw 'polygon 19,28 19,21 26,21' -stroke '#808040' -draw 'line 9,10 22,10' -draw 'line 9,14 22,14' \
  -type TrueColor "$tmp/icon5.bmp"                                                   # notes
icon -fill '#A0A0A0' -stroke '#404040' -draw 'rectangle 8,9 23,28' -draw 'rectangle 5,6 26,9' -draw 'rectangle 13,3 18,6' \
  -draw 'line 12,12 12,25' -draw 'line 16,12 16,25' -draw 'line 20,12 19,25' -type TrueColor "$tmp/icon6.bmp" # deleted
convert "$tmp/icon1.bmp" "$tmp/icon2.bmp" "$tmp/icon3.bmp" "$tmp/icon4.bmp" +append "$tmp/row1.bmp"
convert "$tmp/icon5.bmp" "$tmp/icon6.bmp" -size 32x32 xc:'#FF00FF' xc:'#FF00FF' +append "$tmp/row2.bmp"
convert "$tmp/row1.bmp" "$tmp/row2.bmp" -append -type TrueColor BMP3:"$tmp/icons.bmp"
# The masks: white (transparent) where the ground is fuchsia.
convert "$tmp/icons.bmp" -fill white -opaque '#FF00FF' -fill black +opaque white -type Bilevel BMP3:"$tmp/iconmasks.bmp"

# The outlook bar demonstration's background: a 48 x 48 tile of soft
# diagonal stripes.
convert -size 48x48 xc:'#C8D8E8' +antialias -stroke '#B0C4DC' -strokewidth 6 \
  -draw 'line -12,48 48,-12' -draw 'line 12,72 72,12' -draw 'line -36,24 24,-36' \
  -type TrueColor BMP3:"$tmp/tile.bmp"

# The tiler demonstration's tiles, 64 x 64 each, in one image list: bricks,
# a weave, tiles of a floor and waves.
convert -size 64x64 xc:'#B05030' -stroke '#E8E0D0' -strokewidth 2 \
  -draw 'line 0,0 63,0' -draw 'line 0,16 63,16' -draw 'line 0,32 63,32' -draw 'line 0,48 63,48' \
  -draw 'line 16,0 16,16' -draw 'line 48,0 48,16' -draw 'line 0,16 0,32' -draw 'line 32,16 32,32' \
  -draw 'line 16,32 16,48' -draw 'line 48,32 48,48' -draw 'line 0,48 0,63' -draw 'line 32,48 32,63' \
  -type TrueColor "$tmp/tile1.bmp"
convert -size 64x64 xc:'#D8C8A0' -fill '#8C6A3C' \
  -draw 'rectangle 0,4 31,11' -draw 'rectangle 32,20 63,27' -draw 'rectangle 0,36 31,43' -draw 'rectangle 32,52 63,59' \
  -fill '#A88250' -draw 'rectangle 36,0 43,31' -draw 'rectangle 4,32 11,63' -draw 'rectangle 20,0 27,31' -draw 'rectangle 52,32 59,63' \
  -type TrueColor "$tmp/tile2.bmp"
convert -size 64x64 xc:'#F0F0F0' -fill '#305070' -draw 'rectangle 0,0 31,31' -draw 'rectangle 32,32 63,63' \
  -fill '#6090B0' -draw 'circle 48,16 48,8' -draw 'circle 16,48 16,40' -type TrueColor "$tmp/tile3.bmp"
convert -size 64x64 xc:'#2060A0' -fill none -stroke '#80C0F0' -strokewidth 3 \
  -draw 'bezier 0,16 16,4 32,28 48,16' -draw 'bezier 32,16 48,4 64,28 80,16' -draw 'bezier -32,16 -16,4 0,28 16,16' \
  -draw 'bezier 0,48 16,36 32,60 48,48' -draw 'bezier 32,48 48,36 64,60 80,48' -draw 'bezier -32,48 -16,36 0,60 16,48' \
  -type TrueColor "$tmp/tile4.bmp"
convert "$tmp/tile1.bmp" "$tmp/tile2.bmp" "$tmp/tile3.bmp" "$tmp/tile4.bmp" +append -type TrueColor BMP3:"$tmp/tiles.bmp"

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
# Image lists store a header (count, width, height, flags: 1 = masks follow),
# the grid of images and the grid of masks.
open(f"{out}/OutlookIcons.imagelist", "wb").write(struct.pack("<IIII", 6, 32, 32, 1) +
                                                   open(f"{tmp}/icons.bmp", "rb").read() +
                                                   open(f"{tmp}/iconmasks.bmp", "rb").read())
picture("tile.bmp", "OutlookTile.picture")
open(f"{out}/TilerTiles.imagelist", "wb").write(struct.pack("<IIII", 4, 64, 64, 0) +
                                                open(f"{tmp}/tiles.bmp", "rb").read())
picture("tile1.bmp", "TilerBricks.picture")
PY
