#!/usr/bin/env bash
# The real program on an X server (run under xvfb-run with a screen large enough for 3x) at the
# scale factors of today's desktops: 1, 1.25, 1.5, 1.75, 2 and 3 device pixels per pixel, with
# Qt's scale factor passed through unrounded as a desktop set to 125 % or 150 % does.
#
# At every scale the window keeps its layout, 356 x 236 pixels, and is photographed:
#   - its title must be drawn for that density, not enlarged from the 1x picture: interpolated,
#     an enlargement has far less fine detail (the energy of the differences between neighbouring
#     device pixels); pixel by pixel, it repeats whole lines of pixels, which nothing drawn does;
#   - with the lookup panel open, the panel's outline must be equally wide on all four sides and
#     be the panel's outermost pixels, with no strip of the panel's paper beyond it.
# Usage: e2e_scales.sh PROGRAM STORE-MAKER PICTURE-FOLDER [SHOT-FOLDER]
# PICTURE-FOLDER holds background.png; the photographs are kept in SHOT-FOLDER when it is given.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
need xdotool xwininfo import convert compare
program=$1
make_store=$2
picture=$3/background.png
shots=${4:-}

export QT_SCALE_FACTOR_ROUNDING_POLICY=PassThrough

# device SCALE LENGTH: a length in pixels, in device pixels at SCALE (rounded as Qt rounds).
device() {
    awk -v s="$1" -v n="$2" 'BEGIN { printf "%d", n * s + 0.5 }'
}

# energy IMAGE: the mean squared difference between neighbouring pixels, across and down, of the
# image in grey levels from 0 to 1. Strokes drawn for the screen's pixels give much of it; an
# interpolated enlargement gives little.
energy() {
    convert "$1" -colorspace Gray \
        \( -clone 0 -roll +1+0 -clone 0 -compose Difference -composite -crop +1+0 \
           -evaluate Pow 2 -format '%[fx:mean]\n' -write info: +delete \) \
        \( -clone 0 -roll +0+1 -clone 0 -compose Difference -composite -crop +0+1 \
           -evaluate Pow 2 -format '%[fx:mean]\n' -write info: +delete \) \
        null: | awk '{ sum += $1 } END { printf "%.6f\n", sum }'
}

# repeated IMAGE: the share, in hundredths, of columns and rows that repeat their neighbour
# exactly. Enlarging pixel by pixel repeats every other line at 2, every third at 1.5; no real
# drawing of stone and brush strokes repeats one.
repeated() {
    local w h same
    read -r w h < <(identify -format '%w %h\n' "$1")
    same=$(for shift in +1+0 +0+1; do
        local size="$((w - 1))x1"
        [ "$shift" = +0+1 ] && size="1x$((h - 1))"
        convert "$1" \( +clone -roll "$shift" \) -compose Difference -composite -crop "$shift" \
            +repage -colorspace Gray -threshold 0 -scale "$size!" -depth 8 txt:- | grep -c 'gray(0)'
    done | awk '{ sum += $1 } END { print sum }')
    echo $((same * 100 / (w + h - 2)))
}

# photograph FILE: the window as it is on the screen, polled until the pictures are drawn.
photograph() {
    local geometry left top colours
    geometry=$(xwininfo -id "$window")
    left=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$geometry")
    top=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$geometry")
    for _ in $(seq 50); do
        import -silent -window root -crop "${width}x${height}+${left}+${top}" +repage "$1"
        colours=$(identify -format '%k' "$1")
        [ "$colours" -gt 1000 ] && return 0
        sleep 0.1
    done
    fail "at $scale the window shows only $colours colours; the pictures were not drawn"
}

# The title area, 墨石通 and 英汉双向词典, above the box's gold mount: x 30..189, y 1..24.
title_area() {  # SCALE
    echo "$(device "$1" 160)x$(device "$1" 24)+$(device "$1" 30)+$(device "$1" 1)"
}

# runs LINE-IMAGE: the dark runs along a one-pixel line, as "start:length" pairs.
runs() {
    convert "$1" -colorspace Gray -threshold 50% -depth 8 txt:- |
        awk -F'[,: ]+' 'NR > 1 { dark = ($0 ~ /#000000/); i = ($1 > $2 ? $1 : $2) + 0
                          if (dark && !inrun) { start = i; inrun = 1 }
                          if (!dark && inrun) { printf "%d:%d ", start, i - start; inrun = 0 } }
                  END { if (inrun) printf "%d:%d ", start, i + 1 - start }'
}

check_outline() {  # SHOT SCALE
    local shot=$1 s=$2
    # Frame1 lies at 224,48, 89 x 137, over the box; the lines are taken where neither a button
    # nor an option is: across at y 64, down at x 309.
    # Each line reaches 4 pixels beyond the panel, over the box but short of its border.
    local left right top bottom margin across down
    left=$(device "$s" 224)
    right=$(device "$s" 313)
    top=$(device "$s" 48)
    bottom=$(device "$s" 185)
    margin=$(device "$s" 4)
    convert "$shot" -crop "$((right - left + 2 * margin))x1+$((left - margin))+$(device "$s" 64)" \
        +repage "$e2e_folder/across.png"
    convert "$shot" -crop "1x$((bottom - top + 2 * margin))+$(device "$s" 309)+$((top - margin))" \
        +repage "$e2e_folder/down.png"
    across=$(runs "$e2e_folder/across.png")
    down=$(runs "$e2e_folder/down.png")
    read -r -a across_runs <<<"$across"
    read -r -a down_runs <<<"$down"
    [ "${#across_runs[@]}" -eq 2 ] && [ "${#down_runs[@]}" -eq 2 ] ||
        fail "at $s the panel's outline is not two lines across and two down: across $across, down $down"
    local widths
    widths=$(printf '%s\n' "${across_runs[@]}" "${down_runs[@]}" | cut -d: -f2 | sort -u)
    [ "$(wc -l <<<"$widths")" -eq 1 ] ||
        fail "at $s the panel's outline is not equally wide on all sides: across $across, down $down"
    # Just outside the outline lies the box, white; the panel's paper (#f3eee2) there would be
    # a strip of panel beyond its own edge.
    local outside
    for outside in "across.png $(($(cut -d: -f1 <<<"${across_runs[1]}") + widths))" \
                   "across.png $(($(cut -d: -f1 <<<"${across_runs[0]}") - 1))" \
                   "down.png $(($(cut -d: -f1 <<<"${down_runs[1]}") + widths))" \
                   "down.png $(($(cut -d: -f1 <<<"${down_runs[0]}") - 1))"; do
        read -r line at <<<"$outside"
        local colour
        if [ "$line" = across.png ]; then
            colour=$(convert "$e2e_folder/$line" -format "%[hex:p{$at,0}]" info:)
        else
            colour=$(convert "$e2e_folder/$line" -format "%[hex:p{0,$at}]" info:)
        fi
        [ "$colour" != F3EEE2 ] ||
            fail "at $s the panel's paper shows beyond its outline ($line at $at): across $across, down $down"
    done
    echo "  outline: $widths device pixels on every side"
}

# Photographs the window into $panel; true once the panel's paper is on show at its middle.
panel_on_show() {
    photograph "$panel"
    [ "$(convert "$panel" -format "%[hex:p{$(device "$scale" 268),$(device "$scale" 64)}]" \
        info:)" = F3EEE2 ]
}

reference=$e2e_folder/reference.png
for scale in 1 1.25 1.5 1.75 2 3; do
    echo "scale $scale"
    rm -f "$e2e_folder/lexi"  # start_program makes the store afresh
    QT_SCALE_FACTOR=$scale start_program "$program" "$make_store"
    geometry=$(xwininfo -id "$window")
    width=$(awk '/^ *Width:/ {print $2}' <<<"$geometry")
    height=$(awk '/^ *Height:/ {print $2}' <<<"$geometry")
    [ "$width" = "$(device "$scale" 356)" ] && [ "$height" = "$(device "$scale" 236)" ] ||
        fail "at $scale the window is $width x $height device pixels, not 356 x 236 pixels"

    shot=$e2e_folder/window-$scale.png
    photograph "$shot"
    area=$(title_area "$scale")
    convert "$shot" -crop "$area" +repage "$e2e_folder/title.png"
    shown=$(energy "$e2e_folder/title.png")
    if [ "$scale" = 1 ]; then
        # Pixel for pixel: the picture itself.
        convert "$picture" -crop "$area" +repage "$reference"
        difference=$(compare -metric RMSE "$e2e_folder/title.png" "$reference" null: 2>&1 |
            sed 's/.*(\(.*\))/\1/')
        echo "  title detail: $shown, difference from the picture: $difference"
        awk -v d="$difference" 'BEGIN { exit !(d < 0.02) }' ||
            fail "at 1 the title is not the picture drawn pixel for pixel (difference $difference)"
    else
        # The 1x picture enlarged smoothly, as a painter's smooth transform would: drawn for the
        # screen, the title has nearly twice as much detail at 1.25 and five times as much at 2.
        convert "$picture" -filter Triangle \
            -resize "$(device "$scale" 358)x$(device "$scale" 237)!" -crop "$area" +repage \
            "$reference"
        enlarged=$(energy "$reference")
        repeats=$(repeated "$e2e_folder/title.png")
        echo "  title detail: $shown, the 1x picture enlarged: $enlarged; lines repeated: $repeats%"
        awk -v a="$shown" -v b="$enlarged" 'BEGIN { exit !(a > 1.2 * b) }' ||
            fail "at $scale the title is no sharper than the 1x picture enlarged ($shown against $enlarged)"
        [ "$repeats" -lt 5 ] ||
            fail "at $scale the title is the 1x picture enlarged pixel by pixel ($repeats% of its lines repeat)"
    fi

    # The panel: type a word and press 翻 译.
    click "$(device "$scale" 150)" "$(device "$scale" 100)"
    xdotool type --delay 40 apple
    click "$(device "$scale" 296)" "$(device "$scale" 212)"
    panel=$e2e_folder/panel-$scale.png
    poll 50 panel_on_show || fail "at $scale the lookup panel never opened"
    check_outline "$panel" "$scale"

    if [ -n "$shots" ]; then
        cp "$shot" "$shots/window-$scale.png"
        cp "$panel" "$shots/panel-$scale.png"
    fi
    kill "$pid"
    wait "$pid" 2>/dev/null || true
done
echo "PASS: sharp and evenly outlined at 1, 1.25, 1.5, 1.75, 2 and 3"
