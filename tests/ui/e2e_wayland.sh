#!/usr/bin/env bash
# The window under a real Wayland compositor, sway running headless (started here), with Qt's
# Wayland plugin, driven by real key and pointer events: "apple" typed into the new window,
# 翻 译 opens the panel, 简明查询 lists the entry, the listing refuses typing and pasting, 清 除
# empties and unlocks the box; coming back from another window puts the focus in the box;
# dragging the background with the left and then the right button moves the window, by the
# compositor's own account; Esc ends the program.
#
# Keys come from wtype, pictures from grim, and the box's text from the clipboard (wl-paste),
# copied there with Ctrl+Insert, which copies even from a listing on show. The pointer is
# WL-VPOINTER (ui_wl_vpointer): a headless seat has no pointer of its own.
#
# Not tested, because sway cannot show it: minimising by a double-click on the background (sway
# has no minimised state and ignores the request).
# Usage: e2e_wayland.sh PROGRAM STORE-MAKER WL-VPOINTER
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
[ $# -eq 3 ] || fail "usage: e2e_wayland.sh PROGRAM STORE-MAKER WL-VPOINTER"
need sway swaymsg wtype grim wl-copy wl-paste jq cmp
vpointer_program=$(realpath "$3")

# How long each step took, and the whole run (now: microseconds since the epoch).
now() {
    echo "${EPOCHREALTIME//[!0-9]/}"
}
report_time() {
    local took=$(($(now) - $2))
    printf '%3d.%02d s  %s\n' $((took / 1000000)) $((took % 1000000 / 10000)) "$1"
}
run_started=$(now)
step_started=$run_started
step_name="compositor, keyboard and pointer ready"
# step NAME: ends the step under way and starts the next one.
step() {
    report_time "$step_name" "$step_started"
    step_name=$1
    step_started=$(now)
}

# --- the compositor -------------------------------------------------------------------------
# sway will not run as root (it refuses whenever it could take root back): run as root, the
# script starts it as nobody, in a folder that nobody owns. The clients stay with the caller and
# reach the compositor's sockets by their full paths.
compositor_folder=$(mktemp -d)
e2e_folders+=("$compositor_folder")
as_compositor=()
if [ "$(id -u)" -eq 0 ]; then
    need setpriv
    chown nobody "$compositor_folder"
    as_compositor=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups)
fi
chmod 700 "$compositor_folder"
readonly screen_width=1024 screen_height=768
# Floating, so that the window keeps its own size and can be moved; no focus following the
# pointer, so that only the script's clicks and commands move the focus.
cat >"$compositor_folder/config" <<EOF
xwayland disable
output HEADLESS-1 resolution ${screen_width}x$screen_height position 0 0
for_window [app_id=".*"] floating enable
focus_follows_mouse no
EOF
chmod 644 "$compositor_folder/config"
"${as_compositor[@]}" env -i PATH="$PATH" HOME="$compositor_folder" \
    XDG_RUNTIME_DIR="$compositor_folder" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
    WLR_RENDERER=pixman sway -c "$compositor_folder/config" >"$e2e_folder/sway.log" 2>&1 &
sway_pid=$!
started "$sway_pid"
compositor_ready() {
    kill -0 "$sway_pid" 2>/dev/null || fail "sway ended: $(tail -n 5 "$e2e_folder/sway.log")"
    local socket ipc
    socket=$(find "$compositor_folder" -maxdepth 1 -type s -name 'wayland-*' | head -n 1)
    ipc=$(find "$compositor_folder" -maxdepth 1 -type s -name 'sway-ipc.*' | head -n 1)
    [ -n "$socket" ] && [ -n "$ipc" ] || return 1
    export WAYLAND_DISPLAY=$socket SWAYSOCK=$ipc
    swaymsg -t get_version >/dev/null 2>&1
}
poll 300 compositor_ready || fail "sway did not start: $(tail -n 5 "$e2e_folder/sway.log")"

# The clients talk to this compositor only, whatever desktop the caller runs; the program has
# no X server to fall back on.
export XDG_RUNTIME_DIR="$e2e_folder/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=wayland
unset DISPLAY WAYLAND_SOCKET

# The seat's capabilities: 1 pointer, 2 keyboard.
seat_can() {
    swaymsg -t get_seats | jq -e --argjson wanted "$1" '.[0].capabilities == $wanted' >/dev/null
}
# A keyboard that stays in the seat for the whole run: a wtype that only sleeps. Without it the
# seat has a keyboard only while a wtype runs, the program binds its keyboard when the seat
# gains one, and the first key of every wtype can arrive before that: it then shows up only as
# held down already when the keyboard enters the window, and is never typed.
wtype -s 3600000 &
started $!
poll 100 seat_can 2 || fail "the seat never got the keyboard"

# The pointer: one for the whole run, for the same reason.
coproc vpointer {
    "$vpointer_program" "$screen_width" "$screen_height" 2>"$e2e_folder/vpointer.log"
}
# shellcheck disable=SC2154  # set by coproc
started "$vpointer_PID"
# pointer COMMAND...: one command to the virtual mouse, answered once the compositor has it.
pointer() {
    local reply
    echo "$*" >&"${vpointer[1]}"
    read -r -t 30 reply <&"${vpointer[0]}" ||
        fail "the virtual mouse did not answer '$*': $(cat "$e2e_folder/vpointer.log")"
    [ "$reply" = ok ] || fail "the virtual mouse: '$*': $reply"
}
# Away from the window, so that no hover or pointer shape is in the pictures.
pointer_away() {
    pointer move $((screen_width - 1)) $((screen_height - 1))
}
pointer_away
poll 100 seat_can 3 || fail "the seat never got the pointer"
step "the program starts"

# --- the program ----------------------------------------------------------------------------
# The compositor's view of a window of the process $1: sets win_id, win_x, win_y (the top-left
# corner of its surface on the screen), win_w, win_h and win_focused.
window_of() {
    local node
    node=$(swaymsg -t get_tree | jq -c --argjson pid "$1" \
        'first(.. | objects | select(.pid? == $pid and .visible == true))') || return 1
    [ -n "$node" ] && [ "$node" != null ] || return 1
    read -r win_id win_x win_y win_w win_h win_focused < <(jq -r '[.id, .rect.x + .window_rect.x,
        .rect.y + .window_rect.y, .window_rect.width, .window_rect.height, .focused] |
        map(tostring) | join(" ")' <<<"$node")
}
# The main window as the compositor has it, for start_program: sets `window` and main_x,
# main_y, kept for the clicks and pictures that follow (only a drag moves the window).
find_main_window() {
    still_running
    window_of "$pid" || return 1
    window=$win_id
    main_x=$win_x
    main_y=$win_y
}
main_window_focused() {
    find_main_window && [ "$win_focused" = true ]
}

start_program "$1" "$2"
swaymsg -t get_tree | jq -e --argjson pid "$pid" 'first(.. | objects | select(.pid? == $pid)) |
    .app_id == "moshitong" and .name == "墨石通" and .border == "csd"' >/dev/null ||
    fail "the window is not the borderless 墨石通 (app_id, title or decoration): \
$(swaymsg -t get_tree | jq -c --argjson pid "$pid" 'first(.. | objects | select(.pid? == $pid)) |
    {app_id, name, border}')"
[ "$win_w $win_h" = "356 236" ] || fail "the window is ${win_w}x$win_h, not 356x236"
poll 50 main_window_focused || fail "the compositor never gave the new window the focus"

# Areas (left, top, width, height) in the window, in pixels from its top-left corner.
readonly panel_area=(224 48 89 137)    # Frame1
readonly command4_area=(256 200 81 25) # Command4

# click X Y [BUTTON]: a click at a point of the window.
click() {
    still_running
    pointer click $((main_x + $1)) $((main_y + $2)) "${3:-left}"
}
# picture FILE LEFT TOP WIDTH HEIGHT: an area of the window as the compositor shows it, as
# uncompressed PPM, so that two are the same picture exactly when they are the same bytes.
picture() {
    still_running
    grim -t ppm -g "$((main_x + $2)),$((main_y + $3)) $4x$5" "$1"
}
same_picture() {
    cmp -s "$1" "$2"
}
# keys ARGS...: wtype with ARGS; the keys go to whatever has the focus.
keys() {
    still_running
    wtype "$@"
}

# The text in the box, as a user copies it here: Wayland has no primary selection a client may
# read, so the box's text goes to the clipboard with Ctrl+Insert (read_box_with, e2e_lib.sh).
put_clipboard() {
    exec wl-copy --foreground "$1" 2>/dev/null
}
clipboard_text() {
    wl-paste --no-newline | tr -d '\r'
}
# copy_box [end]: selects all of the box and copies it with Ctrl+Insert (which the locked box
# allows), or with `end` goes back to its end.
copy_box() {
    if [ "${1:-}" = end ]; then
        keys -M ctrl -k End -m ctrl
    else
        keys -M ctrl -k Home -M shift -k End -m shift -k Insert -m ctrl
    fi
}
read_box() {
    read_box_with put_clipboard clipboard_text copy_box
}

step "typing into the box of the new window"

# --- the lookup cycle -----------------------------------------------------------------------
picture "$e2e_folder/start-panel.ppm" "${panel_area[@]}"
picture "$e2e_folder/start-command4.ppm" "${command4_area[@]}"
keys apple
expect_box "apple" "typed into the new window (the focus belongs in the box)"
step "翻 译 opens the panel"

click "${at_translate[@]}"
pointer_away
panel_shown() {
    picture "$e2e_folder/panel.ppm" "${panel_area[@]}"
    ! same_picture "$e2e_folder/panel.ppm" "$e2e_folder/start-panel.ppm"
}
poll 50 panel_shown || fail "翻 译 did not open the panel"
step "简明查询 lists the entry"

click "${at_concise[@]}"
expect_box "$apple_listing" "after the concise lookup"
step "the listing refuses typing and pasting"

# The clipboard holds the listing now: a paste that slipped through would double it.
keys x -k BackSpace -M shift -k Insert -m shift -M ctrl v -m ctrl
expect_box "$apple_listing" "typing and pasting into the listing"
step "清 除 empties and unlocks the box"

click "${at_translate[@]}"
keys k
expect_box "k" "typed after 清 除 (the box should be empty, unlocked and focused)"
pointer_away
caption_back() {
    picture "$e2e_folder/command4.ppm" "${command4_area[@]}"
    same_picture "$e2e_folder/command4.ppm" "$e2e_folder/start-command4.ppm"
}
poll 50 caption_back || fail "after 清 除 the button does not look as it did at the start (翻 译)"
step "focus back in the box from another window"

# The focus is moved off the box first, to the button, so that only the window's own activation
# can bring it back.
keys -k Tab
"$e2e_folder/moshitong" 2>"$e2e_folder/other-stderr" &
other_pid=$!
started "$other_pid"
other_window_focused() {
    kill -0 "$other_pid" 2>/dev/null ||
        fail "the other window ended: $(cat "$e2e_folder/other-stderr")"
    window_of "$other_pid" && [ "$win_focused" = true ]
}
poll 100 other_window_focused || fail "the other window never took the focus"
swaymsg "[con_id=$window] focus" >/dev/null
poll 50 main_window_focused || fail "the compositor did not give the window the focus back"
keys m
expect_box "km" "typed after switching back to the window (the focus belongs in the box)"
kill "$other_pid"
step "dragged by the background, left then right"

# drag_by BUTTON DX DY: drags the background by DX, DY (whole multiples of the steps) in small
# steps, and asks the compositor where the window went. The compositor carries the drag
# (startSystemMove) from where the pointer is when the program's request reaches it: the
# program asks on the first move it sees, and a busy machine may see the hand a step or two
# further by then. From there the window follows the pointer exactly, so it must have moved by
# a whole number of the hand's steps, in the hand's direction, and at least one.
readonly drag_steps=25
drag_by() {
    local button=$1 dx=$2 dy=$3 left=$main_x top=$main_y
    local step_x=$((dx / drag_steps)) step_y=$((dy / drag_steps))
    pointer drag $((left + at_background[0])) $((top + at_background[1])) \
        $((left + at_background[0] + dx)) $((top + at_background[1] + dy)) "$drag_steps" "$button"
    window_moved() {
        find_main_window && [ "$main_x $main_y" != "$left $top" ]
    }
    poll 50 window_moved || fail "$button button: the window did not move (still at $left,$top)"
    local moved_x=$((main_x - left)) moved_y=$((main_y - top))
    local followed=$((moved_x / step_x))
    if [ $((followed * step_x)) -ne "$moved_x" ] || [ $((followed * step_y)) -ne "$moved_y" ] ||
        [ "$followed" -lt 1 ] || [ "$followed" -gt "$drag_steps" ]; then
        fail "$button button: the pointer moved by $dx,$dy in $drag_steps steps of \
$step_x,$step_y, but the window by $moved_x,$moved_y"
    fi
    echo "  $button button: pointer moved by $dx,$dy, window by $moved_x,$moved_y" \
        "(the last $followed of $drag_steps steps)"
}
drag_by left -200 -150
drag_by right 150 100
step "Esc ends the program"

keys -k Escape
wait_for_end
[ "$status" -eq 0 ] || fail "Esc ended the program with status $status"
step "done"
report_time "whole run" "$run_started"
echo "PASS: typed, looked up, refused typing, cleared, focus back on activation, dragged, Esc"
