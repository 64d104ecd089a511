#!/usr/bin/env bash
# The real program on an X server (run under xvfb-run): copied into a folder of its own with a
# small store beside it, it must map its borderless 356 x 236 window and draw it, pictures and
# all. Usage: e2e_window.sh PROGRAM STORE-MAKER
set -euo pipefail
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
need xdotool xwininfo xprop import identify convert

start_program "$1" "$2"

geometry=$(xwininfo -id "$window")
width=$(awk '/^ *Width:/ {print $2}' <<<"$geometry")
height=$(awk '/^ *Height:/ {print $2}' <<<"$geometry")
left=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$geometry")
top=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$geometry")
[ "${width}x${height}" = 356x236 ] || fail "the window is ${width} x ${height}, not 356 x 236"
# Borderless: the window asks the window system for no decorations at all (Motif hints: the
# decorations field is flagged, and empty).
hints=$(xprop -id "$window" _MOTIF_WM_HINTS | sed 's/.*= //')
IFS=', ' read -r flags _ decorations _ <<<"$hints"
(( (flags & 2) != 0 && decorations == 0 )) || fail "the window asks for decorations (Motif hints $hints)"

# The picture is drawn once the window is exposed; poll until the shot has the background's many
# colours rather than an empty window's one.
shot="$e2e_folder/window.png"
colours=0
drawn() {
    import -silent -window root -crop "${width}x${height}+${left}+${top}" +repage "$shot"
    colours=$(identify -format '%k' "$shot")
    [ "$colours" -gt 1000 ]
}
poll 50 drawn || fail "the window shows only $colours colours; the pictures were not drawn"
# The text box is white paper in the middle of the dark stone.
centre=$(convert "$shot" -format '%[fx:int(255*mean)]' -crop 100x60+100+80 +repage info:)
[ "$centre" -ge 240 ] || fail "the text box is not light (mean $centre of 255)"
echo "PASS: window ${width} x ${height}, $colours colours, light box"
