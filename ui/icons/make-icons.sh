#!/usr/bin/env bash
# Redraws the three 16x16 tray icons (ImageMagick): a red ball and the cue ball on a table.
# Flash1: 32-bit with alpha, Flash2: 256 colours, Flash3: 16 colours of the QBColor palette.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

table() { # rail felt pocket darkball ball highlight shadow cueball
    convert -size 64x64 xc:none "${@:9}" \
        -fill "$1" -draw 'roundrectangle 0,0 63,63 10,10' \
        -fill "$2" -draw 'roundrectangle 6,6 57,57 5,5' \
        -fill "$3" -draw 'circle 9,9 9,5' -draw 'circle 54,54 54,50' \
        -draw 'circle 54,9 54,5' -draw 'circle 9,54 9,50' \
        -fill "$4" -draw 'circle 37,27 37,10' \
        -fill "$5" -draw 'circle 35,25 35,11' \
        -fill "$6" -draw 'circle 30,19 30,15' \
        -fill "$7" -draw 'circle 21,44 21,34' \
        -fill "$8" -draw 'circle 20,43 20,35' PNG32:-
}

table '#6b3e1e' '#1f8a3a' '#111111' '#7a0000' '#d81b1b' 'rgba(255,255,255,0.9)' '#bdbdbd' '#ffffff' \
    | convert - -filter Lanczos -resize 16x16 PNG32:Flash1.png
convert Flash1.png -channel A -threshold 50% +channel -colors 256 PNG8:Flash2.png

convert xc:'#000000' xc:'#000080' xc:'#008000' xc:'#008080' xc:'#800000' xc:'#800080' \
    xc:'#808000' xc:'#c0c0c0' xc:'#808080' xc:'#0000ff' xc:'#00ff00' xc:'#00ffff' \
    xc:'#ff0000' xc:'#ff00ff' xc:'#ffff00' xc:'#ffffff' +append "$tmp/qbcolor.png"
table '#800000' '#008000' '#000000' '#800000' '#ff0000' '#ffffff' '#c0c0c0' '#ffffff' +antialias \
    | convert - -filter point -resize 16x16 PNG32:"$tmp/small.png"
# Remapping drops transparency: map the colours, then put the corners' 1-bit mask back.
convert "$tmp/small.png" -alpha extract -threshold 50% "$tmp/mask.png"
convert "$tmp/small.png" -alpha off -dither None -remap "$tmp/qbcolor.png" "$tmp/colours.png"
convert "$tmp/colours.png" "$tmp/mask.png" -alpha off -compose CopyOpacity -composite PNG32:- \
    | convert - -define png:bit-depth=4 PNG8:Flash3.png
