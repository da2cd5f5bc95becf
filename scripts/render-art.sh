#!/bin/bash
# Renders the artwork sources in resources/art/ into the committed resources:
#   resources/bitmaps/*.bmp       uncompressed Windows bitmaps, 8 bits per pixel with a palette
#                                 (24 bits for the two file pictures), light grey background;
#                                 NAME.bmp for 100 % display scale and NAME_125.bmp,
#                                 NAME_150.bmp and NAME_200.bmp for the larger scales
#   resources/bitmaps/about.version   the version written into the About picture
#   resources/gradewick.ico       16, 20, 24, 32, 40, 48 and 64 pixels, each in 16 and in 256
#                                 colours, and 256 pixels PNG-compressed
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

# The SVG named $1 drawn at exactly $2 x $3 pixels into $work/$4.png (name: the SVG's own).
render() {
    local svg=$1 width=$2 height=$3 name=${4:-$(basename "$1" .svg)}
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

# The sets beyond 100 %: each named by its suffix and drawn for the dialog base units (pixels
# per 4 horizontal and 8 vertical dialog units) of its display scale. The 100 % set is drawn
# for 6 x 13, the template font at 96 dots per inch, so a set's picture is the 100 % size
# times its base units over 6 x 13: it then fills the place its dialog template gives it.
sets=("125 8 16" "150 9 20" "200 12 26")

# $1 * $2 / $3 rounded to the nearest whole pixel, halves up.
scaled() {
    echo $(((2 * $1 * $2 + $3) / (2 * $3)))
}

# picture SVG NAME WIDTH HEIGHT BITS BACKGROUND: NAME.bmp at WIDTH x HEIGHT, the 100 % size,
# and NAME_<suffix>.bmp for every larger set, each drawn afresh from the SVG.
picture() {
    local svg=$1 name=$2 width=$3 height=$4 bits=$5 background=$6 set suffix base_x base_y
    render "$svg" "$width" "$height" "$name" && "bitmap$bits" "$name" "$background"
    for set in "${sets[@]}"; do
        read -r suffix base_x base_y <<<"$set"
        render "$svg" "$(scaled "$width" "$base_x" 6)" "$(scaled "$height" "$base_y" 13)" \
            "${name}_$suffix" && "bitmap$bits" "${name}_$suffix" "$background"
    done
}

# The About picture carries the project's version.
sed "s/@VERSION@/$version/g" "$art/about.svg" >"$work/about.svg"
picture "$work/about.svg" about 400 279 8 "$grey"
echo "$version" >"$bitmaps/about.version"

picture "$art/cgpasplash.svg" cgpasplash 400 279 8 "$grey"
picture "$art/twin.svg" twin 100 300 8 "$grey"
picture "$art/graduate.svg" graduate 76 100 8 "$grey"
picture "$art/diploma.svg" diploma 100 100 8 "$grey"
picture "$art/good.svg" good 180 203 8 "$grey"
picture "$art/bad.svg" bad 180 203 8 "$grey"
picture "$art/normal.svg" normal 180 202 8 'rgb(194,194,194)'
picture "$art/picture1.svg" picture1 41 40 24 "$grey"
picture "$art/picture2.svg" picture2 38 38 24 "$grey"

python3 "$art/tabs.py" "$work/tabs"
for k in 1 2 3 4 5 6 7 8; do
    picture "$work/tabs/pic$k.svg" "pic$k" 27 34 8 "$grey"
    picture "$work/tabs/pic${k}click.svg" "pic${k}click" 30 40 8 "$grey"
    picture "$work/tabs/mouse$k.svg" "mouse$k" 35 36 8 "$grey"
done

# The icon: each size drawn from the source nearest its own (the plain mortarboard up to 24
# pixels, the graded page from 32 up), then reduced to 16 and to 256 colours; icon.py packs
# those images with their transparency masks and the 256-pixel image as a PNG.
icon_parts=()
for size in 16 20 24 32 40 48 64; do
    source=48
    if ((size <= 24)); then source=16; elif ((size == 32)); then source=32; fi
    render "$art/icon-$source.svg" "$size" "$size" "icon-$size"
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
render "$art/icon-48.svg" 256 256 icon-256
"$convert" "$work/icon-256.png" -strip -define png:exclude-chunks=date,time \
    -define png:compression-level=9 "PNG32:$work/icon-256-packed.png"
python3 "$art/icon.py" "$root/resources/gradewick.ico" "${icon_parts[@]}" \
    "$work/icon-256-packed.png"

# A contact sheet of every picture, for review: the large ones at twice their size, the tabs
# at four times, all enlarged without smoothing so every pixel shows.
mkdir -p "$root/docs" "$work/sheet"
enlarge() {
    "$convert" "$bitmaps/$1.bmp" -filter point -resize "$2" "$work/sheet/${3:-$1}.png"
}
for name in cgpasplash about twin graduate picture1 picture2 diploma good bad normal; do
    enlarge "$name" 200%
done
for k in 1 2 3 4 5 6 7 8; do
    enlarge "pic$k" 400% && enlarge "pic${k}click" 400% && enlarge "mouse$k" 400%
done
# Tab 1's three looks in every set at twice their size, and the icon's images at their own.
for look in pic1 pic1click mouse1; do
    enlarge "$look" 200% "${look}_100"
    for set in "${sets[@]}"; do enlarge "${look}_${set%% *}" 200%; done
done
for size in 16 20 24 32 40 48 64 256; do
    cp "$work/icon-$size.png" "$work/sheet/icon-$size.png"
done
section() {
    local out=$1 columns=$2
    shift 2
    local files=()
    for name in "$@"; do files+=("$work/sheet/$name.png"); done
    "$montage" -font DejaVu-Sans -pointsize 18 -fill white -background '#6b6b6b' -label '%t' \
        "${files[@]}" -tile "${columns}x" -geometry "${tile:-+10+10}" "$work/sheet/$out.png"
}
section screens 4 cgpasplash about twin graduate
section verdicts 3 good bad normal
section small 3 picture1 picture2 diploma
section tabs 8 pic{1..8} pic{1..8}click mouse{1..8}
tile='160x160+10+10>' section sets 4 {pic1,pic1click,mouse1}_{100,125,150,200}
tile='256x256+10+10>' section icon 8 icon-{16,20,24,32,40,48,64,256}
"$convert" "$work/sheet/"{screens,verdicts,small,tabs,sets,icon}.png -background '#6b6b6b' -gravity west \
    -append +repage -depth 8 -strip -define png:exclude-chunks=date,time \
    "$root/docs/art-contact-sheet.png"
echo "render-art: version $version, $(ls "$bitmaps"/*.bmp | wc -l) bitmaps, icon and contact sheet written"
