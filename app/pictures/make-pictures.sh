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

# ---------------------------------------------------------------- demonstration windows
# Pictures of the demonstration windows, written by the packer at the end of
# this section. Glyphs keep the framework's rule: the bottom-left pixel's
# colour is transparent (olive here).

# The shape button demonstration's glyphs, 16 x 16: a tick, a cross and a star.
convert -size 16x16 xc:'#808000' +antialias -stroke '#008000' -strokewidth 3 -fill none \
  -draw 'polyline 2,8 6,12 13,3' -type TrueColor BMP3:"$tmp/g-check.bmp"
convert -size 16x16 xc:'#808000' +antialias -stroke '#C00000' -strokewidth 3 \
  -draw 'line 3,3 12,12' -draw 'line 12,3 3,12' -type TrueColor BMP3:"$tmp/g-cross.bmp"
convert -size 16x16 xc:'#808000' +antialias -fill '#FFD000' -stroke '#806000' \
  -draw 'polygon 8,0 10,6 15,6 11,9 13,15 8,11 3,15 5,9 1,6 6,6' -type TrueColor BMP3:"$tmp/g-star.bmp"

# The image button demonstration. Outside every picture is fuchsia (the
# top-left pixel, the buttons' transparent colour).
ib() { convert -size "$1" xc:'#FF00FF' +antialias "${@:2}"; }
# Notebook tabs, 132 x 30: dark blue, the selected one lighter.
for state in up down; do
  if [ $state = up ]; then face='#204878'; edge='#102040'; else face='#3A78C0'; edge='#183860'; fi
  ib 132x30 -fill "$edge" -draw 'roundrectangle 0,0 131,40 12,12' -fill "$face" -draw 'roundrectangle 2,2 129,40 10,10' \
    -fill '#FF00FF' -draw 'rectangle 0,30 131,40' -type TrueColor BMP3:"$tmp/tab-$state.bmp"
done
# Toggle switches, 40 x 64: a plate with a slot and a lever up (off) or down (on).
for state in up down; do
  if [ $state = up ]; then knob='20,14 20,8'; stem='line 20,32 20,14'; else knob='20,50 20,44'; stem='line 20,32 20,50'; fi
  ib 40x64 -fill '#707070' -draw 'roundrectangle 0,0 39,63 8,8' -fill '#C8C8C8' -draw 'roundrectangle 2,2 37,61 6,6' \
    -fill '#303030' -draw 'roundrectangle 15,20 25,44 3,3' -stroke '#505050' -strokewidth 4 -draw "$stem" -stroke '#404040' \
    -strokewidth 1 -fill '#F0F0F0' -draw "circle $knob" -type TrueColor BMP3:"$tmp/switch-$state.bmp"
done
# Light bulbs, 48 x 64: grey glass when off, glowing yellow when on.
for state in up down; do
  if [ $state = up ]; then glass='#D8D8D8'; rim='#909090'; wire='#909090'; else glass='#FFF070'; rim='#E0A000'; wire='#FF6000'; fi
  ib 48x64 -fill "$rim" -draw 'circle 24,22 24,1' -fill "$glass" -draw 'circle 24,22 24,3' \
    -fill "$glass" -draw 'polygon 15,36 33,36 30,46 18,46' -stroke "$wire" -strokewidth 2 -fill none -draw 'polyline 19,44 19,26 22,22 26,26 29,22 29,44' \
    -stroke none -fill white -draw 'ellipse 17,14 4,6 0,360' \
    -fill '#A08050' -draw 'rectangle 16,46 31,60' -fill '#705830' -draw 'rectangle 16,49 31,50' -draw 'rectangle 16,53 31,54' \
    -draw 'rectangle 16,57 31,58' -fill '#404040' -draw 'rectangle 20,60 27,63' -type TrueColor BMP3:"$tmp/bulb-$state.bmp"
done
# A wall light switch, 48 x 72: the rocker's lower half pressed (off) or its upper half (on).
for state in up down; do
  if [ $state = up ]; then top='#FFFFFF'; bottom='#C8C8C0'; else top='#C8C8C0'; bottom='#FFFFFF'; fi
  ib 48x72 -fill '#A0A098' -draw 'roundrectangle 0,0 47,71 6,6' -fill '#F0F0E8' -draw 'roundrectangle 2,2 45,69 5,5' \
    -fill '#606058' -draw 'rectangle 13,15 34,56' -fill "$top" -draw 'rectangle 15,17 32,35' -fill "$bottom" -draw 'rectangle 15,36 32,54' \
    -fill '#808078' -draw 'circle 24,8 24,6' -draw 'circle 24,63 24,61' -type TrueColor BMP3:"$tmp/wall-$state.bmp"
done
# An LED, 28 x 28: dark red, or bright with a glint.
ib 28x28 -fill '#404040' -draw 'circle 13,13 13,0' -fill '#600000' -draw 'circle 13,13 13,3' -fill '#802020' -draw 'circle 10,10 10,8' \
  -type TrueColor BMP3:"$tmp/led-up.bmp"
ib 28x28 -fill '#404040' -draw 'circle 13,13 13,0' -fill '#FF2020' -draw 'circle 13,13 13,3' -fill '#FFC0C0' -draw 'circle 10,10 10,7' \
  -type TrueColor BMP3:"$tmp/led-down.bmp"
# Thumb tacks, 56 x 56: standing out on their pin, or pressed in (seen from above).
ib 56x56 -stroke '#707070' -strokewidth 3 -draw 'line 16,40 4,52' -stroke '#800000' -strokewidth 1 -fill '#C02020' \
  -draw 'polygon 14,28 28,42 24,46 10,32' -fill '#E03030' -draw 'polygon 20,14 42,36 34,44 12,22' \
  -fill '#F04040' -draw 'ellipse 36,18 14,8 -45,315' -fill '#FF9090' -draw 'ellipse 34,14 5,3 -45,315' -type TrueColor BMP3:"$tmp/tack-up.bmp"
ib 56x56 -fill '#600000' -draw 'circle 28,28 28,6' -fill '#C02020' -draw 'circle 28,28 28,9' -fill '#E03030' -draw 'circle 28,28 28,17' \
  -fill '#FF9090' -draw 'circle 22,22 22,19' -type TrueColor BMP3:"$tmp/tack-down.bmp"
# Butterflies, 72 x 60, grey so that the button colours them: wings and body.
for n in 1 2; do
  if [ $n = 1 ]; then up='#D0D0D0'; low='#A8A8A8'; spot='#F8F8F8'; else up='#B8B8B8'; low='#D8D8D8'; spot='#808080'; fi
  ib 72x60 -stroke '#303030' -fill "$up" -draw 'ellipse 22,20 18,15 0,360' -draw 'ellipse 50,20 18,15 0,360' \
    -fill "$low" -draw 'ellipse 25,42 12,12 0,360' -draw 'ellipse 47,42 12,12 0,360' -fill "$spot" -stroke none \
    -draw 'circle 20,18 20,12' -draw 'circle 52,18 52,12' -fill '#303030' -draw 'ellipse 36,32 3,22 0,360' \
    -stroke '#303030' -draw 'line 35,11 29,2' -draw 'line 37,11 43,2' -type TrueColor BMP3:"$tmp/butterfly$n.bmp"
done
# Picture buttons that take the button's colour: a grey ball and a grey heart
# (mid grey, 192, keeps the colour; lighter and darker shades stay so).
convert -size 84x84 radial-gradient:'#F0F0F0'-'#707070' -roll -14-14 \( -size 84x84 xc:black -fill white -draw 'circle 41,41 41,1' \) \
  -alpha off -compose CopyOpacity -composite -background '#FF00FF' -alpha remove +antialias -type TrueColor BMP3:"$tmp/ball.bmp"
convert -size 84x84 gradient:'#E8E8E8'-'#808080' \( -size 84x84 xc:black -fill white +antialias \
  -draw 'circle 24,26 24,6' -draw 'circle 60,26 60,6' -draw 'polygon 5,32 42,80 79,32 42,20' \) \
  -alpha off -compose CopyOpacity -composite -background '#FF00FF' -alpha remove +antialias -type TrueColor BMP3:"$tmp/heart.bmp"
# Jigsaw pieces: four 64 x 64 cores with knobs of radius 10 that reach 14
# pixels over an edge; each picture is 92 x 92 with its core at (14, 14).
piece() { # name colour right-knob(+1/-1/0) bottom-knob left-knob top-knob
  local a=(-fill "$2" -draw 'rectangle 14,14 77,77')
  local k
  k=$3; if [ $k = 1 ]; then a+=(-fill "$2" -draw 'circle 81,45 81,35'); elif [ $k = -1 ]; then a+=(-fill '#FF00FF' -draw 'circle 73,45 73,35'); fi
  k=$4; if [ $k = 1 ]; then a+=(-fill "$2" -draw 'circle 45,81 45,71'); elif [ $k = -1 ]; then a+=(-fill '#FF00FF' -draw 'circle 45,73 45,63'); fi
  k=$5; if [ $k = 1 ]; then a+=(-fill "$2" -draw 'circle 10,45 10,35'); elif [ $k = -1 ]; then a+=(-fill '#FF00FF' -draw 'circle 18,45 18,35'); fi
  k=$6; if [ $k = 1 ]; then a+=(-fill "$2" -draw 'circle 45,10 45,0'); elif [ $k = -1 ]; then a+=(-fill '#FF00FF' -draw 'circle 45,18 45,8'); fi
  ib 92x92 "${a[@]}" -type TrueColor BMP3:"$tmp/$1.bmp"
}
piece puzzle1 '#D04040' 1 1 0 0
piece puzzle2 '#40A040' 0 1 -1 0
piece puzzle3 '#4060D0' -1 0 0 -1
piece puzzle4 '#D0A020' 0 0 1 -1
# The dither styles' pictures for the image combo, 16 x 16 each: a checker
# of silver and the dither colour, a checker over a picture, a plain fill.
convert -size 16x16 pattern:gray50 -fill '#C0C0C0' -opaque black -fill '#0000C0' -opaque white -type TrueColor "$tmp/ds1.bmp"
convert -size 16x16 gradient:'#FF8080'-'#FFFF80' \( -size 16x16 pattern:gray50 \) -compose Multiply -composite \
  -fill '#0000C0' -opaque black -type TrueColor "$tmp/ds2.bmp"
convert -size 16x16 xc:'#0000C0' -type TrueColor "$tmp/ds3.bmp"
convert "$tmp/ds1.bmp" "$tmp/ds2.bmp" "$tmp/ds3.bmp" +append -type TrueColor BMP3:"$tmp/dither-styles.bmp"

# The continents of the image button demonstration and the counties of the
# map window: polygons cut into one picture each, with their places.
python3 - "$tmp" "$out" <<'PY'
import subprocess, sys
tmp, out = sys.argv[1], sys.argv[2]
def region_pieces(name, polys, fill, edge, down_fill):
    places = []
    for key, pts in polys:
        xs = [p[0] for p in pts]; ys = [p[1] for p in pts]
        x0, y0 = min(xs) - 2, min(ys) - 2
        w, h = max(xs) - x0 + 3, max(ys) - y0 + 3
        poly = " ".join(f"{x - x0},{y - y0}" for x, y in pts)
        for state, colour in (("up", fill), ("down", down_fill)):
            subprocess.run(["convert", "-size", f"{w}x{h}", "xc:#FF00FF", "+antialias", "-fill", colour,
                            "-stroke", edge, "-draw", f"polygon {poly}", "-type", "TrueColor",
                            f"BMP3:{out}/{name}{key}{'' if state == 'up' else 'Down'}.bmp"], check=True)
        places.append(f"{key} {x0} {y0} {w} {h}")
    open(f"{tmp}/{name}-places.txt", "w").write("\n".join(places) + "\n")
continents = [
    ("NorthAmerica", [(10,40),(40,22),(80,18),(120,12),(170,14),(200,28),(190,48),(165,56),(150,72),(140,92),(118,108),(112,124),(100,128),(92,118),(78,112),(66,96),(56,80),(40,66),(24,62)]),
    ("SouthAmerica", [(112,138),(138,134),(168,150),(186,168),(180,188),(162,208),(150,230),(140,248),(132,240),(128,212),(122,186),(110,160)]),
    ("Europe", [(232,44),(246,28),(270,20),(298,22),(306,36),(292,48),(282,60),(264,64),(252,72),(238,64)]),
    ("Africa", [(236,84),(262,76),(292,80),(312,98),(326,104),(316,130),(304,160),(290,196),(274,204),(264,190),(258,152),(246,124),(230,110)]),
    ("Asia", [(314,22),(360,14),(420,12),(470,22),(490,40),(474,58),(458,78),(436,92),(418,108),(400,104),(390,126),(376,116),(366,98),(346,100),(332,88),(318,70),(310,48)]),
    ("Australia", [(400,176),(430,164),(458,168),(478,184),(474,206),(448,216),(420,210),(402,198)]),
]
region_pieces("Continent", continents, "#48A048", "#205020", "#E0B040")

# Sixteen counties, four rows of four, cut from a 400 x 300 state along
# jittered lines; shared corners and edge midpoints keep them fitting.
state = 0x2545F491
def jitter(k):
    global state
    state = (state * 6364136223846793005 + 1442695040888963407) % (1 << 64)
    return ((state >> 33) % (2 * k + 1)) - k
W, H, N = 400, 300, 4
corner = {}
for r in range(N + 1):
    for c in range(N + 1):
        x, y = c * W // N, r * H // N
        dx = jitter(18) if 0 < c < N else 0
        dy = jitter(14) if 0 < r < N else 0
        if c in (0, N): dx = jitter(14)
        if r in (0, N): dy = jitter(12)
        corner[(r, c)] = (min(max(x + dx, 0), W - 1), min(max(y + dy, 0), H - 1))
mid = {}
def midpoint(a, b):
    key = (min(a, b), max(a, b))
    if key not in mid:
        (x1, y1), (x2, y2) = corner[a], corner[b]
        mid[key] = (min(max((x1 + x2) // 2 + jitter(13), 0), W - 1), min(max((y1 + y2) // 2 + jitter(13), 0), H - 1))
    return mid[key]
counties = []
fills = ["#F0D090", "#B8E0A0", "#A0C8E8", "#E8B8C8", "#D8C8F0", "#F8E0A8", "#C0E8D8", "#E8C8A0"]
for r in range(N):
    for c in range(N):
        a, b, d, e = (r, c), (r, c + 1), (r + 1, c + 1), (r + 1, c)
        pts = [corner[a], midpoint(a, b), corner[b], midpoint(b, d), corner[d], midpoint(d, e), corner[e], midpoint(e, a)]
        counties.append((f"{r * N + c + 1:02d}", pts, fills[(r * N + c + r) % len(fills)]))
for key, pts, fill in counties:
    region_pieces("County", [(key, pts)], fill, "#604020", "#F89830")
PY
# The map window's compass rose, 64 x 64, on the window's face colour.
convert -size 64x64 xc:'#D4D0C8' +antialias -fill none -stroke '#606060' -draw 'circle 32,32 32,6' \
  -stroke none -fill '#C02020' -draw 'polygon 32,2 38,32 26,32' -fill '#404040' -draw 'polygon 32,62 38,32 26,32' \
  -fill '#808080' -draw 'polygon 2,32 32,26 32,38' -draw 'polygon 62,32 32,26 32,38' \
  -fill '#F0F0F0' -stroke '#404040' -draw 'circle 32,32 32,29' -type TrueColor BMP3:"$tmp/compass.bmp"

# The notebook window, 600 x 430: four tabs above a dark blue cover, a cream
# page with a red margin, and a spiral binding; fuchsia lies outside.
tabcolours=('#F0D040' '#70C060' '#60A0E0' '#E080A0')
tabdark=('#A08010' '#307030' '#2060A0' '#A04060')
tabdown=('#FFF090' '#B0F0A0' '#A8D8FF' '#FFC0D8')
nb=(-fill '#FF00FF' -draw 'rectangle 0,0 599,429')
for k in 0 1 2 3; do
  x=$((60 + k * 118)); x2=$((x + 111))
  nb+=(-fill "${tabdark[$k]}" -draw "roundrectangle $x,0 $x2,60 10,10" -fill "${tabcolours[$k]}" -draw "roundrectangle $((x + 2)),2 $((x2 - 2)),60 8,8")
  ib 112x36 -fill "${tabdark[$k]}" -draw 'roundrectangle 0,0 111,60 10,10' -fill "${tabcolours[$k]}" -draw 'roundrectangle 2,2 109,60 8,8' \
    -type TrueColor BMP3:"$tmp/nbtab$k.bmp"
  ib 112x36 -fill "${tabdark[$k]}" -draw 'roundrectangle 0,0 111,60 10,10' -fill "${tabdown[$k]}" -draw 'roundrectangle 2,2 109,60 8,8' \
    -fill "${tabdark[$k]}" -draw 'rectangle 10,30 101,31' -type TrueColor BMP3:"$tmp/nbtabdown$k.bmp"
done
nb+=(-fill '#1C2C4C' -draw 'roundrectangle 0,36 599,429 16,16' -fill '#2C3E66' -draw 'roundrectangle 3,39 596,426 14,14'
     -fill '#B0A890' -draw 'rectangle 39,73 585,415' -fill '#FFFDF0' -draw 'rectangle 40,74 584,414'
     -fill '#E04040' -draw 'rectangle 78,74 79,414')
for y in $(seq 92 24 400); do
  nb+=(-fill '#202020' -draw "circle 50,$y 50,$((y + 3))" -fill none -stroke '#C0C0C8' -strokewidth 3 -draw "ellipse 34,$y 17,6 150,390" -stroke none)
done
convert -size 600x430 xc:'#FF00FF' +antialias "${nb[@]}" -type TrueColor BMP3:"$tmp/notebook.bmp"
convert "$tmp/notebook.bmp" +dither -colors 64 -type Palette BMP3:"$tmp/notebook8.bmp"

# The order window, 560 x 400: a blue body with a dome for its title, three
# tabs on the left for the page buttons and a light page area; fuchsia lies
# outside.
convert -size 560x400 xc:'#FF00FF' +antialias \
  -fill '#0C2850' -draw 'roundrectangle 0,96 130,146 22,22' -draw 'roundrectangle 0,160 130,210 22,22' \
  -draw 'roundrectangle 0,224 130,274 22,22' \
  -fill '#2E6AB0' -draw 'roundrectangle 2,98 130,144 20,20' -draw 'roundrectangle 2,162 130,208 20,20' \
  -draw 'roundrectangle 2,226 130,272 20,20' \
  -fill '#0C2850' -draw 'ellipse 330,56 156,56 0,360' -draw 'roundrectangle 96,40 559,399 28,28' \
  -fill '#1E5090' -draw 'ellipse 330,56 153,53 0,360' -draw 'roundrectangle 98,42 557,397 26,26' \
  -fill '#3A78C0' -draw 'ellipse 330,40 120,30 180,360' \
  -fill '#0C2850' -draw 'roundrectangle 116,94 546,386 8,8' -fill '#F8F8F0' -draw 'roundrectangle 118,96 544,384 7,7' \
  -type TrueColor BMP3:"$tmp/order.bmp"
convert "$tmp/order.bmp" +dither -colors 64 -type Palette BMP3:"$tmp/order8.bmp"

# The paint window's palettes, 32 x 32 icons on fuchsia in a grid of four
# columns: tools (line, rectangle, ellipse, rounded rectangle), pen styles
# (solid, dash, dot, dash dot, dash dot dot) and brush styles (solid, clear,
# horizontal, vertical, diagonals, cross, diagonal cross).
pi=0
paint_icon() { convert -size 32x32 xc:'#FF00FF' +antialias "$@" -type TrueColor "$tmp/paint$pi.bmp"; pi=$((pi + 1)); }
paint_icon -stroke '#000080' -strokewidth 3 -draw 'line 4,27 27,4'
paint_icon -stroke '#000080' -strokewidth 2 -fill '#A0C0F0' -draw 'rectangle 4,7 27,24'
paint_icon -stroke '#000080' -strokewidth 2 -fill '#A0C0F0' -draw 'ellipse 16,16 12,9 0,360'
paint_icon -stroke '#000080' -strokewidth 2 -fill '#A0C0F0' -draw 'roundrectangle 4,7 27,24 6,6'
for dash in '' '6 3' '2 2' '6 3 2 3' '6 2 2 2 2 2'; do
  if [ -z "$dash" ]; then d='line 2,16 29,16'; else d="stroke-dasharray $dash line 2,16 29,16"; fi
  paint_icon -fill none -stroke black -strokewidth 2 -draw "$d"
done
paint_icon -fill '#4060C0' -stroke black -draw 'rectangle 4,4 27,27'
paint_icon -fill white -stroke black -draw 'rectangle 4,4 27,27' -stroke '#C0C0C0' -draw 'line 6,6 25,25' -draw 'line 25,6 6,25'
for pat in hs_horizontal hs_vertical hs_fdiagonal hs_bdiagonal hs_cross hs_diagcross; do
  convert -size 24x24 pattern:$pat -fill '#4060C0' -opaque black "$tmp/pat.bmp"
  paint_icon "$tmp/pat.bmp" -geometry +4+4 -composite -fill none -stroke black -draw 'rectangle 4,4 27,27'
done
paint_icon
paint_icon
paint_icon
rows=()
for r in 0 1 2 3 4; do
  convert "$tmp/paint$((r * 4)).bmp" "$tmp/paint$((r * 4 + 1)).bmp" "$tmp/paint$((r * 4 + 2)).bmp" "$tmp/paint$((r * 4 + 3)).bmp" +append "$tmp/paintrow$r.bmp"
  rows+=("$tmp/paintrow$r.bmp")
done
convert "${rows[@]}" -append -type TrueColor BMP3:"$tmp/painticons.bmp"
convert "$tmp/painticons.bmp" -fill white -opaque '#FF00FF' -fill black +opaque white -type Bilevel BMP3:"$tmp/paintmasks.bmp"

# The poll window, 480 x 460: a clipboard of textured wood with a sheet of
# textured paper and a metal clip that stands out above the board; fuchsia
# lies outside. The textures are seeded plasma, so every run draws the same.
convert -seed 7 -size 480x440 plasma: -colorspace Gray -attenuate 2 +noise Gaussian -motion-blur 0x16+0 +level-colors '#5E3A1A','#A87444' "$tmp/wood.png"
convert -seed 11 -size 440x380 plasma: -colorspace Gray -attenuate 0.6 +noise Gaussian -colorspace Gray -blur 0x0.7 +level-colors '#D8C290','#FBF4E0' "$tmp/paper.png"
convert -size 480x460 xc:'#FF00FF' +antialias \
  \( "$tmp/wood.png" \( -size 480x440 xc:black -fill white -draw 'roundrectangle 0,0 479,439 22,22' \) \
     -alpha off -compose CopyOpacity -composite \) -geometry +0+20 -compose Over -composite \
  -fill none -stroke '#4A2C10' -strokewidth 2 -draw 'roundrectangle 1,21 478,458 21,21' -stroke none \
  "$tmp/paper.png" -geometry +20+64 -compose Over -composite \
  -fill none -stroke '#B8A888' -draw 'rectangle 20,64 459,443' -stroke none \
  -fill '#505058' -draw 'roundrectangle 150,0 329,66 14,14' -fill '#A8A8B4' -draw 'roundrectangle 153,3 326,63 12,12' \
  -fill '#D0D0DA' -draw 'roundrectangle 160,8 319,22 6,6' -fill '#FF00FF' -draw 'roundrectangle 218,30 261,44 7,7' \
  -fill '#505058' -draw 'circle 170,52 170,47' -draw 'circle 309,52 309,47' \
  -type TrueColor BMP3:"$tmp/poll.bmp"
convert "$tmp/poll.bmp" -type Palette BMP3:"$tmp/poll8.bmp"

python3 - "$tmp" "$out" <<'PY'
import struct, sys
tmp, out = sys.argv[1], sys.argv[2]
def read(name):
    return open(f"{tmp}/{name}", "rb").read()
def glyph(src, dst):
    data = read(src)
    open(f"{out}/{dst}", "wb").write(struct.pack("<I", len(data)) + data)
def picture(src, dst):
    open(f"{out}/{dst}", "wb").write(bytes([7]) + b"TBitmap" + read(src))
glyph("g-check.bmp", "GlyphCheck.glyph")
glyph("g-cross.bmp", "GlyphCross.glyph")
glyph("g-star.bmp", "GlyphStar.glyph")
picture("compass.bmp", "Compass.picture")
# Image buttons store their pictures as the BMP files themselves.
def bmp(src, dst):
    open(f"{out}/{dst}", "wb").write(read(src))
for name, dst in [("tab", "ImageTab"), ("switch", "ToggleSwitch"), ("bulb", "LightBulb"), ("wall", "WallSwitch"),
                  ("led", "Led"), ("tack", "ThumbTack")]:
    bmp(f"{name}-up.bmp", f"{dst}.bmp")
    bmp(f"{name}-down.bmp", f"{dst}Down.bmp")
for name in ["butterfly1", "butterfly2", "ball", "heart", "puzzle1", "puzzle2", "puzzle3", "puzzle4"]:
    bmp(f"{name}.bmp", name[0].upper() + name[1:] + ".bmp")
# Image lists: a header (count, width, height, flags: 1 = masks follow), the images.
open(f"{out}/DitherStyles.imagelist", "wb").write(struct.pack("<IIII", 3, 16, 16, 0) + read("dither-styles.bmp"))
picture("notebook8.bmp", "Notebook.picture")
# A shaped window's stored outline ("RegionData"): the runs of pixels that
# differ from the bottom-left one, rows with equal runs joined into bands;
# the region data's byte count, then a 32-byte header and the rectangles.
def region(src, dst):
    data = read(src)
    offset, width, height, bits = struct.unpack_from("<I", data, 10)[0], *struct.unpack_from("<iiHH", data, 18)[:2], struct.unpack_from("<H", data, 28)[0]
    assert bits == 24 and height > 0
    stride = (width * 3 + 3) // 4 * 4
    def pixel(x, y):
        o = offset + (height - 1 - y) * stride + x * 3
        return data[o:o + 3]
    key = pixel(0, height - 1)
    rows = []
    for y in range(height):
        runs, x = [], 0
        while x < width:
            if pixel(x, y) == key:
                x += 1
                continue
            start = x
            while x < width and pixel(x, y) != key:
                x += 1
            runs.append((start, x))
        rows.append(runs)
    rects, y = [], 0
    while y < height:
        y2 = y + 1
        while y2 < height and rows[y2] == rows[y]:
            y2 += 1
        rects += [(a, y, b, y2) for a, b in rows[y]]
        y = y2
    bound = (min(r[0] for r in rects), min(r[1] for r in rects), max(r[2] for r in rects), max(r[3] for r in rects))
    body = struct.pack("<IIII4i", 32, 1, len(rects), 16 * len(rects), *bound) + b"".join(struct.pack("<4i", *r) for r in rects)
    open(f"{out}/{dst}", "wb").write(struct.pack("<I", len(body)) + body)
region("notebook.bmp", "Notebook.region")
picture("order8.bmp", "OrderShape.picture")
region("order.bmp", "OrderShape.region")
picture("poll8.bmp", "PollBoard.picture")
region("poll.bmp", "PollBoard.region")
open(f"{out}/PaintIcons.imagelist", "wb").write(struct.pack("<IIII", 17, 32, 32, 1) + read("painticons.bmp") +
                                                 read("paintmasks.bmp"))
for k in range(4):
    bmp(f"nbtab{k}.bmp", f"NotebookTab{k + 1}.bmp")
    bmp(f"nbtabdown{k}.bmp", f"NotebookTab{k + 1}Down.bmp")
PY

# ---------------------------------------------------------------- status bar, panel, progress and track bar windows
# The panel windows' backdrop: a 64 x 64 tile of soft blue diamonds that the
# transparent panels and group boxes let through.
convert -size 64x64 xc:'#C8D8EC' +antialias \
  -fill '#B4C8E4' -draw 'polygon 32,2 62,32 32,62 2,32' \
  -fill '#D8E4F4' -draw 'polygon 32,14 50,32 32,50 14,32' \
  -fill '#E8F0FA' -draw 'circle 32,32 32,26' \
  -type TrueColor BMP3:"$tmp/panel-tile.bmp"
# The status bar window's glyph panels, 16 x 16 on fuchsia: a letter, a disk
# and a bell.
convert -size 16x16 xc:'#FF00FF' +antialias -fill '#FFFFE0' -stroke '#404040' -draw 'rectangle 1,3 14,12' \
  -fill none -draw 'polyline 1,3 8,9 14,3' -type TrueColor "$tmp/sb-mail.bmp"
convert -size 16x16 xc:'#FF00FF' +antialias -fill '#2050B0' -stroke '#102040' -draw 'rectangle 1,1 14,14' \
  -stroke none -fill '#E0E0E0' -draw 'rectangle 4,2 11,6' -fill '#404040' -draw 'rectangle 4,10 11,14' \
  -type TrueColor "$tmp/sb-disk.bmp"
convert -size 16x16 xc:'#FF00FF' +antialias -fill '#F0C020' -stroke '#806000' \
  -draw 'polygon 8,1 12,5 12,10 14,12 2,12 4,10 4,5' -fill '#806000' -draw 'circle 8,14 8,13' \
  -type TrueColor "$tmp/sb-bell.bmp"
convert "$tmp/sb-mail.bmp" "$tmp/sb-disk.bmp" "$tmp/sb-bell.bmp" +append -type TrueColor BMP3:"$tmp/sb-glyphs.bmp"
convert "$tmp/sb-glyphs.bmp" -fill white -opaque '#FF00FF' -fill black +opaque white -type Bilevel BMP3:"$tmp/sb-masks.bmp"
# The track bar window's own thumb, 15 x 24: a gold marker pointing down; the
# olive bottom-left pixel is transparent.
convert -size 15x24 xc:'#808000' +antialias -fill '#F0B820' -stroke '#704800' \
  -draw 'polygon 1,0 13,0 13,15 7,22 1,15' -stroke none -fill '#FFE890' -draw 'rectangle 3,2 5,14' \
  -type TrueColor BMP3:"$tmp/track-thumb.bmp"
python3 - "$tmp" "$out" <<'PY'
import struct, sys
tmp, out = sys.argv[1], sys.argv[2]
def read(name):
    return open(f"{tmp}/{name}", "rb").read()
open(f"{out}/PanelBackdrop.picture", "wb").write(bytes([7]) + b"TBitmap" + read("panel-tile.bmp"))
open(f"{out}/StatusGlyphs.imagelist", "wb").write(struct.pack("<IIII", 3, 16, 16, 1) + read("sb-glyphs.bmp") +
                                                   read("sb-masks.bmp"))
thumb = read("track-thumb.bmp")
open(f"{out}/TrackThumb.glyph", "wb").write(struct.pack("<I", len(thumb)) + thumb)
PY

# ---------------------------------------------------------------- imager, colour and calculator windows
# The imager window's scene, 240 x 180: a sky fading to orange, a sun, two
# ranges of hills, a lake with the sun's reflection and a red-roofed house,
# so that every effect has colour, edges and flat areas to work on.
convert -size 240x180 gradient:'#3870C8-#F8B060' +antialias \
  -fill '#FFE070' -draw 'circle 170,70 170,48' \
  -fill '#6C8C5C' -draw 'polygon 0,120 40,84 90,108 140,78 200,104 240,90 240,180 0,180' \
  -fill '#3C6434' -draw 'polygon 0,138 60,110 120,132 180,112 240,136 240,180 0,180' \
  -fill '#2C5C9C' -draw 'rectangle 0,146 240,180' \
  -fill '#F8D870' -draw 'rectangle 160,150 180,152' -draw 'rectangle 164,158 176,160' -draw 'rectangle 167,166 173,168' \
  -fill '#F0E8D8' -draw 'rectangle 40,112 76,138' \
  -fill '#B02818' -draw 'polygon 34,114 58,94 82,114' \
  -fill '#5A3018' -draw 'rectangle 54,124 62,138' \
  -fill '#88B8E8' -draw 'rectangle 44,118 51,125' -draw 'rectangle 66,118 73,125' \
  -type TrueColor BMP3:"$tmp/imager-scene.bmp"
# The picture the scene is blended with, 120 x 90: a target of coloured rings.
convert -size 120x90 xc:'#FFFFFF' +antialias \
  -fill '#E03030' -draw 'circle 60,45 60,3' -fill '#FFFFFF' -draw 'circle 60,45 60,12' \
  -fill '#3050E0' -draw 'circle 60,45 60,20' -fill '#FFFFFF' -draw 'circle 60,45 60,29' \
  -fill '#F0C020' -draw 'circle 60,45 60,37' \
  -type TrueColor BMP3:"$tmp/imager-blend.bmp"
# The pop-up calculator's background, 32 x 32: a quiet tile of pale squares.
convert -size 32x32 xc:'#D8E0EC' +antialias \
  -fill '#C8D2E2' -draw 'rectangle 0,0 15,15' -draw 'rectangle 16,16 31,31' \
  -fill '#E4EAF4' -draw 'rectangle 4,4 11,11' -draw 'rectangle 20,20 27,27' \
  -type TrueColor BMP3:"$tmp/calc-tile.bmp"
python3 - "$tmp" "$out" <<'PY'
import sys
tmp, out = sys.argv[1], sys.argv[2]
def picture(src, dst):
    open(f"{out}/{dst}", "wb").write(bytes([7]) + b"TBitmap" + open(f"{tmp}/{src}", "rb").read())
picture("imager-scene.bmp", "ImagerScene.picture")
# The blend bitmap stores its BMP as it stands.
open(f"{out}/ImagerBlend.bmp", "wb").write(open(f"{tmp}/imager-blend.bmp", "rb").read())
picture("calc-tile.bmp", "CalcBackdrop.picture")
PY
