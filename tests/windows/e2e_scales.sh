#!/usr/bin/env bash
# moshitong.exe under Wine (run under xvfb-run) at a Windows scale, set as Windows sets it: the
# screen's dots per inch in HKCU\Control Panel\Desktop\LogPixels. The window must take its size
# in device pixels at that scale (Qt rounds 356 x 236 times DPI / 96), a lookup must work with the
# clicks placed at that scale, and at 192 dpi the background must be the 2x picture pixel for
# pixel, not the 1x one enlarged.
# Usage: e2e_scales.sh DPI PROGRAM STORE-MAKER BACKGROUND@2X
set -euo pipefail
# shellcheck source=wine_lib.sh
source "$(dirname "$0")/wine_lib.sh"
need xdotool xclip xwininfo import convert compare
dpi=$1 program=$2 store_maker=$3 background2x=$4

folder="$e2e_folder/墨石通"
mkdir -p "$folder"
cp "$program" "$folder/moshitong.exe"
"$store_maker" "$folder/lexi"
"$wine_run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    >/dev/null 2>&1 || fail "could not set LogPixels to $dpi"
wineserver --wait

# A length in logical pixels, in device pixels at this scale.
at() {
    awk -v d="$dpi" -v n="$1" 'BEGIN { printf "%d", n * d / 96 + 0.5 }'
}
start_windows_program
geometry=$(xwininfo -id "$window")
width=$(awk '/^ *Width:/ {print $2}' <<<"$geometry")
height=$(awk '/^ *Height:/ {print $2}' <<<"$geometry")
[ "${width}x${height}" = "$(at 356)x$(at 236)" ] ||
    fail "at $dpi dpi the window is ${width} x ${height}, not $(at 356) x $(at 236)"
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window" 2>/dev/null || true

scaled_click() {
    still_running
    xdotool mousemove --window "$window" "$(at "$1")" "$(at "$2")" click 1
}
scaled_click "${at_box[@]}"
xdotool type --delay 60 "apple"
scaled_click "${at_translate[@]}"
scaled_click "${at_concise[@]}"
expect_windows_box "$apple_listing" "after the concise lookup at $dpi dpi"

if [ "$dpi" = 192 ]; then
    # The title's corner of the background, where no control lies.
    left=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$geometry")
    top=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$geometry")
    import -silent -window root -crop "120x50+${left}+${top}" +repage "$e2e_folder/corner.png"
    convert "$background2x" -crop 120x50+0+0 +repage "$e2e_folder/picture.png"
    difference=$(compare -metric AE "$e2e_folder/corner.png" "$e2e_folder/picture.png" null: 2>&1) ||
        true
    [ "$difference" = 0 ] ||
        fail "at 192 dpi the background is not the 2x picture ($difference pixels differ)"
fi
echo "PASS: at $dpi dpi the window is ${width} x ${height} and looks apple up"
