#!/usr/bin/env bash
# Draws the window's three pictures on the ink-and-stone theme of the name 墨石通:
#   background.png  358 x 237  an inkstone slab with ink-wash hills, the title and a red seal
#   button.png       98 x 34   a jade face for the translate button
#   icon.png         32 x 32   24-bit, the character 墨 cut into the same stone
#   background@2x.png, background@3x.png, button@2x.png, button@3x.png
#                              the first two drawn again at two and three times the size, for
#                              screens with more device pixels per pixel
#   icons/           the same icon at the desktop theme's other sizes, and as SVG
#   icon.ico         16 to 256, the icon the Windows program carries
#   private-use.ttf  an empty box for every private-use code point, for the text box
# The window draws the background unscaled from its top-left corner, so everything here is placed
# around where the controls sit: the text box covers x 32..337, y 29..191; the link area
# x 16..201 and the button x 256..337 share the row y 200..225.
# Needs ImageMagick 6 (`convert`), the Noto CJK fonts and, for the SVG and the font,
# python3-fonttools. Fixed seeds keep the output stable.
set -euo pipefail
cd "$(dirname "$0")"

serif_bold=Noto-Serif-CJK-SC-Bold
serif=Noto-Serif-CJK-SC
# Read the whole list first: grep -q would stop early and fail the pipe under pipefail.
known_fonts=$(convert -list font)
for font in "$serif_bold" "$serif"; do
    if ! grep -q "Font: $font\$" <<<"$known_fonts"; then
        echo "make-artwork: ImageMagick does not know the font $font (install fonts-noto-cjk)" >&2
        exit 1
    fi
done

if ! python3 -c 'import fontTools' 2>/dev/null; then
    echo "make-artwork: python3 cannot import fontTools (scripts/setup.sh artwork installs it)" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Stone: fractal noise, greyed and mapped onto the blue-black of a wet inkstone.
stone() {  # width height seed dark light output
    convert -size "$1x$2" -seed "$3" plasma:fractal -blur 0x1.2 -colorspace Gray \
        -auto-level +level-colors "$4,$5" \
        \( -size "$1x$2" -seed "$3" xc:gray50 +noise Gaussian -colorspace Gray \
           -blur 0x0.4 \) -compose SoftLight -composite "$6"
}

# The background and the button are drawn for screens of 1, 2 and 3 device pixels per pixel
# (Qt's @2x and @3x files), every measure below given at 1x and multiplied by the scale, so that
# a high-density screen gets strokes drawn for its pixels instead of blown-up ones.
scale=1
# Measures times the scale: `at 12.5` prints 25 at 2x.
at() {
    awk -v s="$scale" -v n="$1" 'BEGIN { printf "%g", n * s }'
}
# A 1x drawing's coordinate list ("x,y x,y ..."), for the drawing at this scale.
points() {
    awk -v s="$scale" '{ for (i = 1; i <= NF; i++) { split($i, p, ",");
        printf "%s%g,%g", (i > 1 ? " " : ""), p[1] * s, p[2] * s } }' <<<"$1"
}
# ImageMagick puts pixel centres on whole coordinates: the pixel column 30 of the 1x drawing is
# columns 60 and 61 at 2x, whose middle is 60.5.
pixel() {
    awk -v s="$scale" -v n="$1" 'BEGIN { printf "%g", (n + 0.5) * s - 0.5 }'
}

# The stone's cloudy pattern comes from one large drawing, reduced to each size, so that every
# scale shows the same stone; its grain is drawn per scale, a pixel of each screen fine.
convert -size 1074x711 -seed 11 plasma:fractal -blur 0x3.6 -colorspace Gray -auto-level \
    +level-colors '#15191b,#434b4f' "$work/clouds.png"

# ---- background ---------------------------------------------------------------------------
background() {  # scale output
    scale=$1
    local w h
    w=$(at 358)
    h=$(at 237)
    convert "$work/clouds.png" -filter Lanczos -resize "${w}x${h}!" \
        \( -size "${w}x${h}" -seed 11 xc:gray50 +noise Gaussian -colorspace Gray \
           -blur "0x$(at 0.4)" \) -compose SoftLight -composite "$work/stone.png"

    # Ink-wash hills rising behind the bottom row, three layers fading into mist.
    convert -size "${w}x${h}" xc:none \
        -fill '#8d979a60' -draw "polygon $(points "0,237 0,200 30,188 62,196 95,176 128,192 \
            150,186 186,170 214,187 240,180 268,160 300,182 330,172 358,185 358,237")" \
        -blur "0x$(at 3)" "$work/hills-far.png"
    convert -size "${w}x${h}" xc:none \
        -fill '#5d666980' -draw "polygon $(points "0,237 0,214 26,206 50,212 84,198 118,210 \
            160,202 196,214 232,204 262,196 296,206 326,198 358,206 358,237")" \
        -blur "0x$(at 2)" "$work/hills-mid.png"
    convert -size "${w}x${h}" xc:none \
        -fill '#0c0e0fb0' -draw "polygon $(points "0,237 0,226 40,221 78,228 120,219 170,229 \
            214,222 250,230 300,221 340,227 358,224 358,237")" \
        -blur "0x$(at 1.5)" "$work/hills-near.png"
    # A band of mist along the top, where the title sits.
    convert -size "${w}x$(at 30)" gradient:'#c9cfcf38'-'#c9cfcf00' "$work/mist.png"

    # The mount around the text box: a dark shadow and a thin line of old gold on the pixels
    # just outside the box's own edge, one pixel of stone between them.
    convert -size "${w}x${h}" xc:none \
        -fill none -stroke '#00000090' -strokewidth "$(at 3)" \
        -draw "rectangle $(points "30,27 339,193")" -blur "0x$(at 1.5)" \
        -stroke '#b59a62' -strokewidth "$(at 1)" \
        -draw "rectangle $(pixel 30),$(pixel 27) $(pixel 338),$(pixel 192)" "$work/mount.png"

    # The seal: a red square with 石 left in the paper colour, slightly turned like a hand stamp.
    local seal
    seal=$(at 22)
    convert -size "${seal}x${seal}" xc:'#a8281e' -font "$serif_bold" -pointsize "$(at 17)" \
        -fill '#efe3cc' -gravity center -annotate +0+0 '石' \
        \( -size 22x22 -seed 5 xc:gray60 +noise Random -colorspace Gray -threshold 94% \
           -filter Triangle -resize "${seal}x${seal}!" -threshold 50% \) \
        -compose Screen -composite -background none -rotate -4 \
        -alpha set -channel A -evaluate multiply 0.85 +channel "$work/seal.png"

    convert "$work/stone.png" \
        "$work/mist.png" -geometry +0+0 -composite \
        "$work/hills-far.png" -composite "$work/hills-mid.png" -composite \
        "$work/hills-near.png" -composite \
        "$work/mount.png" -composite \
        -font "$serif_bold" -pointsize "$(at 18)" \
        -fill '#00000080' -annotate "+$(at 35)+$(at 23)" '墨石通' \
        -fill '#efe6d2' -annotate "+$(at 34)+$(at 22)" '墨石通' \
        -font "$serif" -pointsize "$(at 10)" -fill '#a7aea9' \
        -annotate "+$(at 96)+$(at 21)" '英汉双向词典' \
        "$work/seal.png" -geometry "+$(at 314)+$(at 3)" -composite \
        -font "$serif" -pointsize "$(at 11)" -fill '#d6cdb9' \
        -annotate "+$(at 34)+$(at 217)" '访问墨石通网站 ›' \
        -strip -define png:compression-level=9 "PNG24:$2"
}

# ---- button face --------------------------------------------------------------------------
# The face colour RGB(192,255,192) veined like jade, lit from above. The button shows the
# middle 81 x 25 of it, so the veins are kept soft enough for the caption to stay sharp.
button() {  # scale output
    scale=$1
    local size
    size="$(at 98)x$(at 34)"
    convert -size "$size" xc:'rgb(192,255,192)' \
        \( -size 98x34 -seed 23 plasma:fractal -blur 0x2 -colorspace Gray -auto-level \
           +level 84%,100% -filter Lanczos -resize "$size!" \) -compose Multiply -composite \
        \( -size "$size" gradient:'#ffffff70'-'#ffffff00' \) -compose Over -composite \
        \( -size "$size" gradient:'#00000000'-'#1c402422' \) -compose Over -composite \
        -strip -define png:compression-level=9 "PNG24:$2"
}

background 1 background.png
background 2 background@2x.png
background 3 background@3x.png
button 1 button.png
button 2 button@2x.png
button 3 button@3x.png

# ---- icon ---------------------------------------------------------------------------------
# The 32 x 32 drawing at any size: every measure below is the 32's scaled by size / 32, so the
# desktop's icon sizes all show the window's icon, drawn sharp instead of blown up.
icon() {  # size output
    local size=$1 s line seal_from seal_to
    s=$(awk -v n="$size" 'BEGIN { print n / 32 }')
    line=$(awk -v s="$s" 'BEGIN { print (s < 1 ? 1 : s) }')
    seal_from=$(awk -v s="$s" 'BEGIN { print 25 * s }')
    seal_to=$(awk -v s="$s" 'BEGIN { print 30 * s - 1 }')
    stone "$size" "$size" 11 '#171b1d' '#4a5357' "$work/icon-stone.png"
    convert "$work/icon-stone.png" \
        -fill none -stroke '#b59a62' -strokewidth "$line" \
        -draw "rectangle $(awk -v l="$line" -v n="$size" \
            'BEGIN { printf "%g,%g %g,%g", l / 2, l / 2, n - l / 2, n - l / 2 }')" \
        -font "$serif_bold" -pointsize "$(awk -v s="$s" 'BEGIN { print 22 * s }')" \
        -fill '#efe6d2' -stroke none \
        -gravity center -annotate "+0-$(awk -v s="$s" 'BEGIN { printf "%d", s + 0.5 }')" '墨' \
        -fill '#a8281e' -draw "rectangle $seal_from,$seal_from $seal_to,$seal_to" \
        -strip -alpha off -type TrueColor "PNG24:$2"
}

icon 32 icon.png
# The desktop theme's sizes; the 32 there is icon.png itself.
mkdir -p icons
for size in 48 64 128 256; do
    icon "$size" "icons/icon-$size.png"
done
# At 16 the character's strokes no longer fit the pixels: the 64 reduced keeps its shape best.
convert icons/icon-64.png -filter Lanczos -resize 16x16 -strip -alpha off -type TrueColor \
    PNG24:icons/icon-16.png

# The Windows program's icon, every size in one file; 256 is stored as PNG, as Windows expects.
convert icons/icon-16.png icon.png icons/icon-48.png icons/icon-64.png icons/icon-128.png \
    icons/icon-256.png icon.ico

# The scalable icon: the character's outline placed where its ink lies on the bitmaps (measured
# on a 256 drawing with the icon's own measures, then brought to the 32 grid).
ink=$(convert -size 256x256 xc:black -font "$serif_bold" -pointsize 176 -fill white \
    -gravity center -annotate +0-8 '墨' -trim -format '%w %h %X %Y' info: |
    awk '{ printf "%g,%g,%g,%g", $3 / 8, $4 / 8, $1 / 8, $2 / 8 }')
read -r font_file font_index <<<"$(fc-match 'Noto Serif CJK SC:style=Bold' --format='%{file} %{index}')"
python3 make-icon-svg.py "$font_file" "$font_index" "$ink" icons/icon.svg

# The box the text box draws for a private-use character (see the script).
python3 make-private-use-font.py private-use.ttf

identify background*.png button*.png icon.png icon.ico icons/*.png
