#!/usr/bin/env bash
# Photographs the real 墨石通 window at work: on an X server of its own (Xvfb), whatever display
# the caller has, it types "apple", presses "翻 译" and "简明查询", and saves the window with the
# listing on show.
#
#   scripts/screenshot.sh [OUTPUT.png [PROGRAM [SCALE]]]
#
# OUTPUT defaults to docs/screenshot.png, PROGRAM to build/bin/moshitong, which opens the store
# `lexi` beside itself (the default build makes both). SCALE is the screen's device pixels per
# pixel, Qt's scale factor, 1 by default: `scripts/screenshot.sh docs/screenshot@2x.png
# build/bin/moshitong 2` photographs the window as a desktop set to 200 % shows it. Needs
# xvfb-run, xdotool and python3, which scripts/setup.sh run headless installs: the picture is cut
# from the screen file that Xvfb keeps, so no image toolkit is needed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
output=$(realpath -m "${1:-$root/docs/screenshot.png}")
program=$(realpath -m "${2:-$root/build/bin/moshitong}")
scale=${3:-1}
word=apple

if [ ! -x "$program" ]; then
    echo "screenshot: $program does not exist; build it first (cmake --build --preset default)" >&2
    exit 1
fi

if [ "${MOSHITONG_SCREENSHOT_INSIDE:-}" != 1 ]; then
    screen_dir=$(mktemp -d)
    trap 'rm -rf "$screen_dir"' EXIT
    MOSHITONG_SCREENSHOT_INSIDE=1 MOSHITONG_SCREEN_DIR=$screen_dir \
        xvfb-run -a -s "-screen 0 1280x1024x24 -fbdir $screen_dir" "$0" "$output" "$program" \
        "$scale"
    exit
fi

# From here on we run inside Xvfb.
# A length in pixels, in device pixels at the scale (rounded as Qt rounds the window's size).
at() {
    awk -v s="$scale" -v n="$1" 'BEGIN { printf "%d", n * s + 0.5 }'
}
errors=$(mktemp)
QT_SCALE_FACTOR=$scale QT_SCALE_FACTOR_ROUNDING_POLICY=PassThrough "$program" 2>"$errors" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -f "$errors"' EXIT

window=
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^墨石通$' 2>/dev/null | head -n 1 || true)
    if [ -n "$window" ]; then
        eval "$(xdotool getwindowgeometry --shell "$window")"
        [ "$WIDTH" != "$(at 356)" ] || break
    fi
    window=
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if [ -z "$window" ]; then
    echo "screenshot: the window did not open:" >&2
    cat "$errors" >&2
    exit 1
fi

# Positions inside the window, in pixels: the box, the translate button, the concise lookup.
click() {
    xdotool mousemove --window "$window" "$(at "$1")" "$(at "$2")" click 1
    sleep 0.4
}
click 150 100
xdotool type --delay 40 "$word"
click 296 212
click 268 164
# Rest the pointer off the window: no control is hovered, and the screen file, which holds the
# pointer too, shows none over the picture.
xdotool mousemove 1279 1023
sleep 0.4

mkdir -p "$(dirname "$output")"
eval "$(xdotool getwindowgeometry --shell "$window")"
python3 "$root/scripts/xwd-to-png.py" "$MOSHITONG_SCREEN_DIR/Xvfb_screen0" "$X" "$Y" "$WIDTH" \
    "$HEIGHT" "$output"
echo "$output"
