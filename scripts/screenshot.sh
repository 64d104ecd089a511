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
# xvfb-run, xdotool, x11-utils and ImageMagick, all installed by scripts/setup.sh.
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
    MOSHITONG_SCREENSHOT_INSIDE=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$output" \
        "$program" "$scale"
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
    if [ -n "$window" ] && xwininfo -id "$window" | grep -q "Width: $(at 356)\$"; then
        break
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
# Rest the pointer on the background, off every control.
xdotool mousemove --window "$window" "$(at 8)" "$(at 8)"
sleep 0.4

mkdir -p "$(dirname "$output")"
import -silent -window "$window" "$output"
echo "$output"
