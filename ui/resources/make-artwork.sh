#!/usr/bin/env bash
# Draws the window's three pictures on the ink-and-stone theme of the name 墨石通:
#   background.jpg  358 x 237  an inkstone slab with ink-wash hills, the title and a red seal
#   button.jpg       98 x 34   a jade face for the translate button
#   icon.png         32 x 32   24-bit, the character 墨 cut into the same stone
# The window draws the background unscaled from its top-left corner, so everything here is placed
# around where the controls sit: the text box covers x 32..337, y 29..191; the link area
# x 16..201 and the button x 256..337 share the row y 200..225.
# Needs ImageMagick 6 (`convert`) and the Noto CJK fonts. Fixed seeds keep the output stable.
set -euo pipefail
cd "$(dirname "$0")"

serif_bold=Noto-Serif-CJK-SC-Bold
serif=Noto-Serif-CJK-SC
for font in "$serif_bold" "$serif"; do
    if ! convert -list font | grep -q "Font: $font\$"; then
        echo "make-artwork: ImageMagick does not know the font $font (install fonts-noto-cjk)" >&2
        exit 1
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Stone: fractal noise, greyed and mapped onto the blue-black of a wet inkstone.
stone() {  # width height seed dark light output
    convert -size "$1x$2" -seed "$3" plasma:fractal -blur 0x1.2 -colorspace Gray \
        -auto-level +level-colors "$4,$5" \
        \( -size "$1x$2" -seed "$3" xc:gray50 +noise Gaussian -colorspace Gray \
           -blur 0x0.4 \) -compose SoftLight -composite "$6"
}

# ---- background ---------------------------------------------------------------------------
stone 358 237 11 '#15191b' '#434b4f' "$work/stone.png"

# Ink-wash hills rising behind the bottom row, three layers fading into mist.
convert -size 358x237 xc:none \
    -fill '#8d979a60' -draw "polygon 0,237 0,200 30,188 62,196 95,176 128,192 150,186 \
        186,170 214,187 240,180 268,160 300,182 330,172 358,185 358,237" \
    -blur 0x3 "$work/hills-far.png"
convert -size 358x237 xc:none \
    -fill '#5d666980' -draw "polygon 0,237 0,214 26,206 50,212 84,198 118,210 160,202 \
        196,214 232,204 262,196 296,206 326,198 358,206 358,237" \
    -blur 0x2 "$work/hills-mid.png"
convert -size 358x237 xc:none \
    -fill '#0c0e0fb0' -draw "polygon 0,237 0,226 40,221 78,228 120,219 170,229 214,222 \
        250,230 300,221 340,227 358,224 358,237" \
    -blur 0x1.5 "$work/hills-near.png"
# A band of mist along the top, where the title sits.
convert -size 358x30 gradient:'#c9cfcf38'-'#c9cfcf00' "$work/mist.png"

# The mount around the text box: a dark shadow and a thin line of old gold.
convert -size 358x237 xc:none \
    -fill none -stroke '#00000090' -strokewidth 3 -draw "rectangle 30,27 339,193" -blur 0x1.5 \
    -stroke '#b59a62' -strokewidth 1 -draw "rectangle 30.5,27.5 338.5,192.5" "$work/mount.png"

# The seal: a red square with 石 left in the paper colour, slightly turned like a hand stamp.
convert -size 22x22 xc:'#a8281e' -font "$serif_bold" -pointsize 17 -fill '#efe3cc' \
    -gravity center -annotate +0+0 '石' \
    \( -size 22x22 -seed 5 xc:gray60 +noise Random -colorspace Gray -threshold 94% \) \
    -compose Screen -composite -background none -rotate -4 "$work/seal.png"
convert "$work/seal.png" -alpha set -channel A -evaluate multiply 0.85 +channel "$work/seal-faint.png"

convert "$work/stone.png" \
    "$work/mist.png" -geometry +0+0 -composite \
    "$work/hills-far.png" -composite "$work/hills-mid.png" -composite \
    "$work/hills-near.png" -composite \
    "$work/mount.png" -composite \
    -font "$serif_bold" -pointsize 18 -fill '#00000080' -annotate +35+23 '墨石通' \
    -fill '#efe6d2' -annotate +34+22 '墨石通' \
    -font "$serif" -pointsize 10 -fill '#a7aea9' -annotate +96+21 '英汉双向词典' \
    "$work/seal-faint.png" -geometry +314+3 -composite \
    -font "$serif" -pointsize 11 -fill '#d6cdb9' -annotate +34+217 '访问墨石通网站 ›' \
    -strip -quality 92 -sampling-factor 1x1 background.jpg

# ---- button face --------------------------------------------------------------------------
# The face colour RGB(192,255,192) veined like jade, lit from above. The button shows the
# middle 81 x 25 of it, so the veins are kept soft enough for the caption to stay sharp.
convert -size 98x34 xc:'rgb(192,255,192)' \
    \( -size 98x34 -seed 23 plasma:fractal -blur 0x2 -colorspace Gray -auto-level \
       +level 84%,100% \) -compose Multiply -composite \
    \( -size 98x34 gradient:'#ffffff70'-'#ffffff00' \) -compose Over -composite \
    \( -size 98x34 gradient:'#00000000'-'#1c402422' \) -compose Over -composite \
    -strip -quality 95 -sampling-factor 1x1 button.jpg

# ---- icon ---------------------------------------------------------------------------------
stone 32 32 11 '#171b1d' '#4a5357' "$work/icon-stone.png"
convert "$work/icon-stone.png" \
    -fill none -stroke '#b59a62' -strokewidth 1 -draw "rectangle 0.5,0.5 31.5,31.5" \
    -font "$serif_bold" -pointsize 22 -fill '#efe6d2' -stroke none \
    -gravity center -annotate +0-1 '墨' \
    -fill '#a8281e' -draw "rectangle 25,25 29,29" \
    -strip -alpha off -type TrueColor PNG24:icon.png

identify background.jpg button.jpg icon.png
