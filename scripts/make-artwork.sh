#!/bin/sh
# Renders the product artwork from the SVG sources in tools/artwork into the
# compiled-in images of src/resources/imgs (the rendered files are committed;
# run this again after editing a source).
#
#   LEDON.JPG, LEDOFF.JPG  640 x 33 button-face strips with the LED at the left.
#                          They are the background-image of the 33 px search and
#                          link buttons; a style-sheet background image tiles, so
#                          the strip is wider than any of those buttons and one
#                          button high, and the face is a light button face, so the dark caption stays readable.
#   motorcycle.ico         window icon, 16, 32, 48 and 256 px.
#   vantor2.jpg,           478 x 320 logos of the two- and four-cylinder ECU.
#   vantor4.jpg
#
# and the application icon of the desktop's menu into packaging/icons:
#   hicolor/NxN/apps/ecu-vantor.png   for N = 48, 128 and 256 (the scalable
#                                     icon is motorcycle.svg itself).
#
# Needs rsvg-convert (librsvg2-bin) and ImageMagick's convert.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
src="$root/tools/artwork"
out="$root/src/resources/imgs"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"

jpeg() { # svg-or-png, output
    convert "$1" -background black -flatten -strip -sampling-factor 1x1 -quality 92 "$2"
}

rsvg-convert "$src/led-on.svg" -o "$tmp/ledon.png"
rsvg-convert "$src/led-off.svg" -o "$tmp/ledoff.png"
jpeg "$tmp/ledon.png" "$out/LEDON.JPG"
jpeg "$tmp/ledoff.png" "$out/LEDOFF.JPG"

for s in 16 32 48 256; do
    rsvg-convert -w $s -h $s "$src/motorcycle.svg" -o "$tmp/moto$s.png"
done
convert "$tmp/moto16.png" "$tmp/moto32.png" "$tmp/moto48.png" "$tmp/moto256.png" "$out/motorcycle.ico"

for s in 48 128 256; do
    mkdir -p "$root/packaging/icons/hicolor/${s}x$s/apps"
    rsvg-convert -w $s -h $s "$src/motorcycle.svg" -o "$tmp/icon$s.png"
    # Stripped of time stamps, so that rendering again gives the same bytes.
    convert "$tmp/icon$s.png" -strip "$root/packaging/icons/hicolor/${s}x$s/apps/ecu-vantor.png"
done

# One logo template; the variant fills in the cylinder count, one piston symbol
# per cylinder and the badge.
for n in 2 4; do
    pistons=""
    i=0
    while [ $i -lt $n ]; do
        pistons="$pistons<use href=\"#cyl\" x=\"$((i * 40))\" y=\"0\" width=\"34\" height=\"52\"/>"
        i=$((i + 1))
    done
    sed -e "s/@CYL@/$n/g" -e "s/@TAG@/$n CYL/g" -e "s|@PISTONS@|$pistons|" \
        "$src/logo.svg.in" > "$tmp/vantor$n.svg"
    rsvg-convert "$tmp/vantor$n.svg" -o "$tmp/vantor$n.png"
    jpeg "$tmp/vantor$n.png" "$out/vantor$n.jpg"
done

echo "artwork written to $out"
