#!/usr/bin/env bash
# Redraws the icons (ImageMagick): a red ball and the cue ball on a table.
# The three 16x16 tray icons: Flash1 32-bit with alpha (also the 16 px application icon),
# Flash2 256 colours, Flash3 16 colours of the QBColor palette.
# The application icon of the desktop: quedrix-32.png, quedrix-48.png and the scalable quedrix.svg.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The drawing on a 64x64 canvas, a shape a line: "roundrect X0 Y0 X1 Y1 R COLOUR" or "circle X Y R COLOUR".
shapes() { # rail felt pocket darkball ball highlight shadow cueball
    echo "roundrect 0 0 63 63 10 $1"
    echo "roundrect 6 6 57 57 5 $2"
    local pocket
    for pocket in '9 9' '54 54' '54 9' '9 54'; do echo "circle $pocket 4 $3"; done
    echo "circle 37 27 17 $4"
    echo "circle 35 25 14 $5"
    echo "circle 30 19 4 $6"
    echo "circle 21 44 10 $7"
    echo "circle 20 43 8 $8"
}

table() { # the shapes' colours, then extra convert options
    local draw=() kind a b c d e colour
    while read -r kind a b c d e colour; do
        if [[ $kind == roundrect ]]; then
            draw+=(-fill "$colour" -draw "roundrectangle $a,$b $c,$d $e,$e")
        else
            draw+=(-fill "$d" -draw "circle $a,$b $a,$((b - c))")
        fi
    done < <(shapes "${@:1:8}")
    convert -size 64x64 xc:none "${@:9}" "${draw[@]}" PNG32:-
}

# A colour as SVG fill attributes: rgba(r,g,b,a) becomes rgb(r,g,b) with its opacity.
fill() {
    if [[ $1 =~ ^rgba\(([0-9]+,[0-9]+,[0-9]+),([0-9.]+)\)$ ]]; then
        echo "fill=\"rgb(${BASH_REMATCH[1]})\" fill-opacity=\"${BASH_REMATCH[2]}\""
    else
        echo "fill=\"$1\""
    fi
}

svg() { # the shapes' colours; pixel centres of the raster drawing lie at +0.5 here
    local kind a b c d e colour
    echo '<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">'
    while read -r kind a b c d e colour; do
        if [[ $kind == roundrect ]]; then
            echo "  <rect x=\"$a\" y=\"$b\" width=\"$((c - a + 1))\" height=\"$((d - b + 1))\" rx=\"$e\" $(fill "$colour")/>"
        else
            echo "  <circle cx=\"$a.5\" cy=\"$b.5\" r=\"$c\" $(fill "$d")/>"
        fi
    done < <(shapes "$@")
    echo '</svg>'
}

colours=('#6b3e1e' '#1f8a3a' '#111111' '#7a0000' '#d81b1b' 'rgba(255,255,255,0.9)' '#bdbdbd' '#ffffff')
table "${colours[@]}" >"$tmp/table.png"
convert "$tmp/table.png" -filter Lanczos -resize 16x16 PNG32:Flash1.png
convert "$tmp/table.png" -filter Lanczos -resize 32x32 PNG32:quedrix-32.png
convert "$tmp/table.png" -filter Lanczos -resize 48x48 PNG32:quedrix-48.png
svg "${colours[@]}" >quedrix.svg
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
# The same three as icon resources of the native Windows shell.
for n in 1 2 3; do convert "Flash$n.png" "../../winui/icons/Flash$n.ico"; done
# The watch's alert icon: the same table with red felt, while a table's time is up.
alert=('#6b3e1e' '#d01010' '#111111' '#7a0000' '#ffd000' 'rgba(255,255,255,0.9)' '#bdbdbd' '#ffffff')
table "${alert[@]}" | convert - -filter Lanczos -resize 16x16 PNG32:FlashAlert.png
convert FlashAlert.png ../../winui/icons/FlashAlert.ico
