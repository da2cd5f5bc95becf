#!/bin/bash
# Renders the artwork sources in resources/art/ into the committed resources:
#   resources/bitmaps/*.bmp       uncompressed Windows bitmaps, 8 bits per pixel with a palette
#                                 (24 bits for the two file pictures), light grey background
#   resources/bitmaps/about.version   the version written into the About picture
#   resources/gradewick.ico       16, 32 and 48 pixels, each in 16 and in 256 colours
#   docs/art-contact-sheet.png    every picture on one sheet, for review
# Run it by hand after changing the art; a normal build uses the committed files.
# Needs rsvg-convert (librsvg2-bin), ImageMagick's /usr/bin/convert, python3 and the DejaVu fonts.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
art=$root/resources/art
bitmaps=$root/resources/bitmaps
convert=/usr/bin/convert
montage=/usr/bin/montage

for tool in rsvg-convert "$convert" "$montage" python3; do
    command -v "$tool" >/dev/null || { echo "render-art: $tool is missing" >&2; exit 1; }
done

version=$(sed -nE 's/^project\(Gradewick VERSION ([0-9]+\.[0-9]+\.[0-9]+).*/\1/p' "$root/CMakeLists.txt")
if [[ -z $version ]]; then
    echo "render-art: no 'project(Gradewick VERSION x.y.z' line in CMakeLists.txt" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The SVG named $1 drawn at exactly $2 x $3 pixels into $work/<name>.png.
render() {
    local svg=$1 width=$2 height=$3 name
    name=$(basename "$svg" .svg)
    rsvg-convert --width "$width" --height "$height" "$svg" -o "$work/$name.png"
    local size
    size=$("$convert" "$work/$name.png" -format '%wx%h' info:)
    if [[ $size != "${width}x${height}" ]]; then
        echo "render-art: $svg came out $size, not ${width}x${height}" >&2
        exit 1
    fi
}

# The bitmap $1 must hold $2 bits per pixel, uncompressed.
check_bitmap() {
    local bmp=$1 bits=$2
    local found compression
    found=$(od -An -tu2 -j28 -N2 "$bmp" | tr -d ' ')
    compression=$(od -An -tu4 -j30 -N4 "$bmp" | tr -d ' ')
    if [[ $found != "$bits" || $compression != 0 ]]; then
        echo "render-art: $bmp has $found bits per pixel and compression $compression" >&2
        exit 1
    fi
}

# 8 bits per pixel. The palette is the picture's own 255 most telling colours plus the exact
# background colour, and every pixel is mapped onto it without dithering, so the background
# stays exactly that colour and flat areas stay flat.
bitmap8() {
    local name=$1 background=$2
    local flat=$work/$name-flat.png palette=$work/$name-palette.png
    "$convert" "$work/$name.png" -background "$background" -alpha remove -alpha off "$flat"
    "$convert" "$flat" +dither -colors 255 -unique-colors "$work/$name-own.png"
    "$convert" "$work/$name-own.png" -size 1x1 "xc:$background" +append -unique-colors "$palette"
    "$convert" "$flat" +dither -remap "$palette" -type Palette -compress None \
        "BMP3:$bitmaps/$name.bmp"
    check_bitmap "$bitmaps/$name.bmp" 8
}

# 24 bits per pixel, no palette.
bitmap24() {
    local name=$1 background=$2
    "$convert" "$work/$name.png" -background "$background" -alpha remove -alpha off \
        -type TrueColor -compress None "BMP3:$bitmaps/$name.bmp"
    check_bitmap "$bitmaps/$name.bmp" 24
}

grey='rgb(192,192,192)'

# The About picture carries the project's version.
sed "s/@VERSION@/$version/g" "$art/about.svg" >"$work/about.svg"
render "$work/about.svg" 400 279 && bitmap8 about "$grey"
echo "$version" >"$bitmaps/about.version"

render "$art/cgpasplash.svg" 400 279 && bitmap8 cgpasplash "$grey"
render "$art/twin.svg" 100 300 && bitmap8 twin "$grey"
render "$art/graduate.svg" 76 100 && bitmap8 graduate "$grey"
render "$art/diploma.svg" 100 100 && bitmap8 diploma "$grey"
render "$art/good.svg" 180 203 && bitmap8 good "$grey"
render "$art/bad.svg" 180 203 && bitmap8 bad "$grey"
render "$art/normal.svg" 180 202 && bitmap8 normal 'rgb(194,194,194)'
render "$art/picture1.svg" 41 40 && bitmap24 picture1 "$grey"
render "$art/picture2.svg" 38 38 && bitmap24 picture2 "$grey"

python3 "$art/tabs.py" "$work/tabs"
for k in 1 2 3 4 5 6 7 8; do
    render "$work/tabs/pic$k.svg" 27 34 && bitmap8 "pic$k" "$grey"
    render "$work/tabs/pic${k}click.svg" 30 40 && bitmap8 "pic${k}click" "$grey"
    render "$work/tabs/mouse$k.svg" 35 36 && bitmap8 "mouse$k" "$grey"
done

# The icon: each size drawn from its own source, then reduced to 16 and to 256 colours;
# icon.py packs the six images with their transparency masks.
icon_parts=()
for size in 16 32 48; do
    render "$art/icon-$size.svg" "$size" "$size"
    png=$work/icon-$size.png
    "$convert" "$png" -alpha extract -threshold 50% -depth 8 "gray:$work/icon-$size.mask"
    # Half-covered edge pixels blend into the dark outline colour of the drawings.
    "$convert" "$png" -background '#1b2340' -alpha remove -alpha off "$work/icon-$size-rgb.png"
    "$convert" "$work/icon-$size-rgb.png" +dither -colors 15 -type Palette -compress None \
        "BMP3:$work/icon-$size-4.bmp"
    "$convert" "$work/icon-$size-rgb.png" +dither -colors 255 -type Palette -compress None \
        "BMP3:$work/icon-$size-8.bmp"
    icon_parts+=("$size" "$work/icon-$size-4.bmp" "$work/icon-$size-8.bmp" "$work/icon-$size.mask")
done
python3 "$art/icon.py" "$root/resources/gradewick.ico" "${icon_parts[@]}"

# A contact sheet of every picture, for review: the large ones at twice their size, the tabs
# at four times, all enlarged without smoothing so every pixel shows.
mkdir -p "$root/docs" "$work/sheet"
enlarge() {
    "$convert" "$bitmaps/$1.bmp" -filter point -resize "$2" "$work/sheet/$1.png"
}
for name in cgpasplash about twin graduate picture1 picture2 diploma good bad normal; do
    enlarge "$name" 200%
done
for k in 1 2 3 4 5 6 7 8; do
    enlarge "pic$k" 400% && enlarge "pic${k}click" 400% && enlarge "mouse$k" 400%
done
section() {
    local out=$1 columns=$2
    shift 2
    local files=()
    for name in "$@"; do files+=("$work/sheet/$name.png"); done
    "$montage" -font DejaVu-Sans -pointsize 18 -fill white -background '#6b6b6b' -label '%t' \
        "${files[@]}" -tile "${columns}x" -geometry +10+10 "$work/sheet/$out.png"
}
section screens 4 cgpasplash about twin graduate
section verdicts 3 good bad normal
section small 3 picture1 picture2 diploma
section tabs 8 pic{1..8} pic{1..8}click mouse{1..8}
"$convert" "$work/sheet/"{screens,verdicts,small,tabs}.png -background '#6b6b6b' -gravity west \
    -append +repage -depth 8 -strip -define png:exclude-chunks=date,time \
    "$root/docs/art-contact-sheet.png"
echo "render-art: version $version, $(ls "$bitmaps"/*.bmp | wc -l) bitmaps, icon and contact sheet written"
