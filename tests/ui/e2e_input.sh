#!/usr/bin/env bash
# A lookup as a user makes it, with real X keyboard and mouse events (xdotool), on an X server
# of its own (run under xvfb-run): type "apple", press "翻 译" and "简明查询", find that nothing
# typed, pasted or deleted changes the listing and that Esc does not end the program from the
# locked box, press "清 除", double-click the box to get "apple" back, and end with Esc.
# Usage: e2e_input.sh PROGRAM STORE-MAKER
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
need xdotool xclip xwininfo

start_program "$1" "$2"
xdotool windowfocus --sync "$window" 2>/dev/null || true

click "${at_box[@]}"
xdotool type --delay 30 "apple"
expect_box "apple" "typed into a fresh window"

click "${at_translate[@]}"
click "${at_concise[@]}"
expect_box "$apple_listing" "after the concise lookup"

# The listing refuses every way of typing into it. The clipboard and the primary selection hold
# text that any paste that slipped through would leave in the box.
printf 'pear' | xclip -quiet -selection clipboard -i 2>/dev/null &
started $!
printf 'plum' | xclip -quiet -selection primary -i 2>/dev/null &
started $!
click "${at_box[@]}"
xdotool type --delay 30 "xyz 1'"
xdotool key --clearmodifiers BackSpace Return KP_Enter Delete shift+Delete ctrl+x ctrl+v \
    shift+Insert ctrl+shift+Insert ctrl+z ctrl+BackSpace
click "${at_box[@]}" 2  # the middle button pastes the primary selection
expect_box "$apple_listing" "typing into the listing"
xdotool key --clearmodifiers Escape
expect_box "$apple_listing" "Esc in the locked box"

# Cleared and unlocked: what is typed now is there.
click "${at_translate[@]}"
click "${at_box[@]}"
xdotool type --delay 30 "k"
expect_box "k" "typed after 清 除"

click "${at_box[@]}" 1 2
expect_box "apple" "double-clicked after 清 除"

xdotool key --clearmodifiers Escape
wait_for_end
[ "$status" -eq 0 ] || fail "Esc ended the program with status $status"
echo "PASS: typed, looked up, refused typing into the listing, cleared, recalled, ended by Esc"
