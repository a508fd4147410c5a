#!/bin/sh
# Regenerates the PNG resources from their drawings. Needs ImageMagick 6
# (convert) and the DejaVu fonts. The PNGs are committed, so a build never
# runs this; run it from anywhere after changing a drawing:
#   sh resources/tools/make-images.sh
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
font=DejaVu-Sans

# The classic 16-colour palette, so the images keep their 16-colour look.
convert -size 1x1 \
    xc:'#000000' xc:'#800000' xc:'#008000' xc:'#808000' \
    xc:'#000080' xc:'#800080' xc:'#008080' xc:'#C0C0C0' \
    xc:'#808080' xc:'#FF0000' xc:'#00FF00' xc:'#FFFF00' \
    xc:'#0000FF' xc:'#FF00FF' xc:'#00FFFF' xc:'#FFFFFF' \
    +append "$work/palette.png"

# Icon 128 at three sizes from the scalable drawing.
for size in 16 32 48; do
    convert -background none -density 960 "$here/icons/vornadc.svg" \
        -resize ${size}x${size} "$work/icon.png"
    # remap drops transparency: put a hard-edged alpha back afterwards
    convert "$work/icon.png" -alpha off -dither None -remap "$work/palette.png" \
        \( "$work/icon.png" -alpha extract -threshold 50% \) \
        -compose CopyOpacity -composite -strip "PNG32:$here/icons/vornadc-$size.png"
done

# Bitmap 137: one protocol cycle, wavelength over time. The three levels sit
# at the heights of the wavelength edits beside the picture on the page
# (wl2 top, wl1 middle, wl0 bottom).
top=11; mid=55; low=98      # y of wl2, wl1, wl0
x0=10                       # cycle start
r1=28; h1=80; r2=98; h2=150; f=162
x1=218                      # cycle end; the next rise starts here
convert -size 230x148 xc:white +antialias \
    -fill none -stroke '#808080' -strokewidth 1 \
    -draw "stroke-dasharray 2 2 line 3,$top 228,$top" \
    -draw "stroke-dasharray 2 2 line 3,$mid 228,$mid" \
    -draw "stroke-dasharray 2 2 line 3,$low 228,$low" \
    -draw "stroke-dasharray 2 2 line $x0,8 $x0,132" \
    -draw "stroke-dasharray 2 2 line $r1,$mid $r1,116" \
    -draw "stroke-dasharray 2 2 line $h1,$mid $h1,116" \
    -draw "stroke-dasharray 2 2 line $r2,$top $r2,116" \
    -draw "stroke-dasharray 2 2 line $h2,$top $h2,116" \
    -draw "stroke-dasharray 2 2 line $x1,8 $x1,132" \
    -stroke black \
    -draw "line 2,2 2,$((low + 6))" \
    -draw "line 2,$((low + 6)) 228,$((low + 6))" \
    -fill black -draw "polygon 2,0 0,5 4,5" \
    -draw "polygon 229,$((low + 6)) 224,$((low + 4)) 224,$((low + 8))" \
    -fill none -stroke red -strokewidth 2 \
    -draw "polyline 4,$low $x0,$low $r1,$mid $h1,$mid $r2,$top $h2,$top $f,$low $x1,$low 229,$((low - 22))" \
    -stroke black -strokewidth 1 \
    -draw "line $((x0 + 1)),116 $((r1 - 1)),116" \
    -draw "line $((r1 + 1)),116 $((h1 - 1)),116" \
    -draw "line $((h1 + 1)),116 $((r2 - 1)),116" \
    -draw "line $((r2 + 1)),116 $((h2 - 1)),116" \
    -draw "line $((x0 + 1)),131 $((x1 - 1)),131" \
    -fill black \
    -draw "polygon $((x0 + 1)),131 $((x0 + 6)),128 $((x0 + 6)),134" \
    -draw "polygon $((x1 - 1)),131 $((x1 - 6)),128 $((x1 - 6)),134" \
    -antialias -stroke none -font $font -pointsize 11 \
    -draw "text $((x0 + 3)),112 'dt'" \
    -draw "text $((r1 + 19)),112 'it1'" \
    -draw "text $((h1 + 3)),112 'dt'" \
    -draw "text $((r2 + 19)),112 'it2'" \
    -draw "text 87,145 'cycle time'" \
    -dither None -remap "$work/palette.png" -strip "PNG8:$here/bitmaps/137.png"

# Bitmap 139: the axis label of the wavelength edits, reading upwards.
convert -size 82x21 xc:white -fill black -font $font -pointsize 11 \
    -gravity center -draw "text 0,0 'wavelength'" -rotate -90 \
    -dither None -remap "$work/palette.png" -strip "PNG8:$here/bitmaps/139.png"
