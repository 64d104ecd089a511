#!/usr/bin/env bash
# The real program on an X server (run under xvfb-run): copied into a folder of its own with a
# small store beside it, it must map its borderless 356 x 236 window and draw it, pictures and
# all. Usage: e2e_window.sh PROGRAM STORE-MAKER
set -euo pipefail
program=$1
make_store=$2

folder=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$folder"
}
trap cleanup EXIT

cp "$program" "$folder/moshitong"
"$make_store" "$folder/lexi"
"$folder/moshitong" 2>"$folder/stderr" &
pid=$!

# Polls until the window is mapped: the program's start-up is not timed, only bounded.
window=
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^墨石通$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || { echo "FAIL: the program ended:"; cat "$folder/stderr"; exit 1; }
    sleep 0.1
done
[ -n "$window" ] || { echo "FAIL: no window named 墨石通 appeared"; exit 1; }

geometry=$(xwininfo -id "$window")
width=$(awk '/^ *Width:/ {print $2}' <<<"$geometry")
height=$(awk '/^ *Height:/ {print $2}' <<<"$geometry")
left=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$geometry")
top=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$geometry")
if [ "$width" != 356 ] || [ "$height" != 236 ]; then
    echo "FAIL: the window is ${width} x ${height}, not 356 x 236"
    exit 1
fi
# Borderless: the window asks the window system for no decorations at all (Motif hints: the
# decorations field is flagged, and empty).
hints=$(xprop -id "$window" _MOTIF_WM_HINTS | sed 's/.*= //')
IFS=', ' read -r flags _ decorations _ <<<"$hints"
if ! (( (flags & 2) != 0 && decorations == 0 )); then
    echo "FAIL: the window asks for decorations (Motif hints $hints)"
    exit 1
fi

# The picture is drawn once the window is exposed; poll until the shot has the background's many
# colours rather than an empty window's one.
shot="$folder/window.png"
colours=0
for _ in $(seq 50); do
    import -silent -window root -crop "${width}x${height}+${left}+${top}" +repage "$shot"
    colours=$(identify -format '%k' "$shot")
    [ "$colours" -gt 1000 ] && break
    sleep 0.1
done
if [ "$colours" -le 1000 ]; then
    echo "FAIL: the window shows only $colours colours; the pictures were not drawn"
    exit 1
fi
# The text box is white paper in the middle of the dark stone.
centre=$(convert "$shot" -format '%[fx:int(255*mean)]' -crop 100x60+100+80 +repage info:)
if [ "$centre" -lt 240 ]; then
    echo "FAIL: the text box is not light (mean $centre of 255)"
    exit 1
fi
echo "PASS: window ${width} x ${height}, $colours colours, light box"
