#!/usr/bin/env bash
# moshitong.exe under Wine on an X server of its own (run under xvfb-run), driven with real X
# events: the borderless 356 x 236 window in a folder whose name needs more than the ANSI code
# page; type "apple", press "翻 译" and "简明查询" and read the listing back; typing is refused
# while it shows; "清 除" empties the box; Esc ends the program. Without a store beside it: the
# message box, and a non-zero exit status.
# Usage: e2e_window.sh PROGRAM STORE-MAKER [SCREENSHOT]
set -euo pipefail
# shellcheck source=wine_lib.sh
source "$(dirname "$0")/wine_lib.sh"
need xdotool xclip xwininfo import
program=$1 store_maker=$2 screenshot=${3:-}

folder="$e2e_folder/墨石通 词典"
mkdir -p "$folder"
cp "$program" "$folder/moshitong.exe"

# ---- without a store: the message box, then a non-zero exit status ----
start_without_store() {
    (cd "$folder" && exec "$wine_run" "$folder/moshitong.exe") 2>"$e2e_folder/stderr" &
    pid=$!
    started "$pid"
    message=
    poll 600 find_message || fail "no message box appeared: $(tail -n 20 "$e2e_folder/stderr")"
}
find_message() {
    message=$(xdotool search --onlyvisible --name '^墨石通$' 2>/dev/null | head -n 1 || true)
    [ -n "$message" ] || ! kill -0 "$pid" 2>/dev/null
}
start_without_store
[ -n "$message" ] || fail "the program ended without a message box"
size=$(xwininfo -id "$message" | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w "x" h}')
[ "$size" != 356x236 ] || fail "the main window was mapped without a store"
xdotool windowactivate --sync "$message" 2>/dev/null || xdotool windowfocus --sync "$message" 2>/dev/null || true
xdotool key --clearmodifiers Return
wait_for_end
[ "$status" -ne 0 ] || fail "without a store the program exited with status 0"
echo "without a store: a message box, then exit status $status"

# ---- with the store: the window and a lookup ----
"$store_maker" "$folder/lexi"
start_windows_program
geometry=$(xwininfo -id "$window")
width=$(awk '/^ *Width:/ {print $2}' <<<"$geometry")
height=$(awk '/^ *Height:/ {print $2}' <<<"$geometry")
[ "${width}x${height}" = 356x236 ] || fail "the window is ${width} x ${height}, not 356 x 236"
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window" 2>/dev/null || true

click "${at_box[@]}"
xdotool type --delay 60 "apple"
expect_windows_box "apple" "typed into a fresh window"

click "${at_translate[@]}"
click "${at_concise[@]}"
expect_windows_box "$apple_listing" "after the concise lookup"

if [ -n "$screenshot" ]; then
    left=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$geometry")
    top=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$geometry")
    import -silent -window root -crop "${width}x${height}+${left}+${top}" +repage "$screenshot"
    echo "the window with the listing: $screenshot"
fi

click "${at_box[@]}"
xdotool type --delay 60 "xyz"
xdotool key --clearmodifiers BackSpace Return Delete
expect_windows_box "$apple_listing" "typing into the listing"

click "${at_translate[@]}"  # now "清 除"
click "${at_box[@]}"
xdotool type --delay 60 "k"
expect_windows_box "k" "typed after 清 除"

xdotool key --clearmodifiers Escape
wait_for_end
[ "$status" -eq 0 ] || fail "Esc ended the program with status $status"
echo "PASS: 356 x 236, looked up, refused typing into the listing, cleared, ended by Esc"
