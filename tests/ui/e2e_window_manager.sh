#!/usr/bin/env bash
# The borderless window under a real window manager (openbox), on an X server of its own (run
# under xvfb-run), with real X mouse and keyboard events: dragged by its background with each
# button, the grabbed point stays under the pointer; coming back to it from another window puts
# the focus in the box; a double-click on the background minimises it, and it stays in the window
# manager's task list to be restored from there; closing it through the window manager ends the
# program.
# Usage: e2e_window_manager.sh PROGRAM STORE-MAKER
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
need openbox xdotool xclip xprop xwininfo xmessage import compare

export XDG_CONFIG_HOME="$e2e_folder/config" XDG_CACHE_HOME="$e2e_folder/cache"
export XDG_RUNTIME_DIR="$e2e_folder/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# Openbox names itself the window manager before it is ready to manage windows, and a window
# mapped in between is never shown; its start-up command runs once it is ready.
openbox --sm-disable --startup "touch $e2e_folder/openbox-ready" >"$e2e_folder/openbox.log" 2>&1 &
started $!
wm_ready() {
    [ -e "$e2e_folder/openbox-ready" ]
}
poll 100 wm_ready || fail "openbox did not start: $(cat "$e2e_folder/openbox.log")"

start_program "$1" "$2"

# The window manager's list of the windows it manages, which task bars show.
in_task_list() {
    local id
    printf -v id '0x%x' "$window"
    xprop -root _NET_CLIENT_LIST | grep -qiE "(# |, )$id(,|$)"
}
poll 100 in_task_list || fail "the window manager never took the window on"
# Task bars list ordinary top-level windows, and leave out the windows that belong to another
# (transient), utility and tool windows, and those asking to be left out.
in_task_bar() {
    local types
    types=$(xprop -id "$window" _NET_WM_WINDOW_TYPE)
    grep -q '_NET_WM_WINDOW_TYPE_NORMAL' <<<"$types" ||
        fail "the window is not an ordinary top-level window: $types"
    if grep -qE '_NET_WM_WINDOW_TYPE_(UTILITY|TOOLBAR|MENU|SPLASH|DOCK|DESKTOP|DIALOG)' <<<"$types"; then
        fail "task bars leave out a window of this type: $types"
    fi
    if xprop -id "$window" WM_TRANSIENT_FOR | grep -q 'window id'; then
        fail "the window belongs to another window, and task bars leave it out"
    fi
    if xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR; then
        fail "the window asks to be left out of the task bar"
    fi
    in_task_list || fail "the window is not in the window manager's task list"
}
in_task_bar

window_at() {
    xwininfo -id "$window" | awk '/Absolute upper-left X:/ {x = $4} /Absolute upper-left Y:/ {y = $4}
                                  END {print x, y}'
}
grabbed_point_under_pointer() {
    # xdotool sets all four; only the position is of use.
    # shellcheck disable=SC2034
    local X Y SCREEN WINDOW left top
    eval "$(xdotool getmouselocation --shell)"
    read -r left top < <(window_at)
    [ $((X - left)) -eq "${at_background[0]}" ] && [ $((Y - top)) -eq "${at_background[1]}" ]
}
# A quick hand: thirty small moves in a row, then a turn, faster than the window system reports
# where it has put the window. Each button drags the other way, to keep the window on the screen.
quick_hand() {
    local sign=$1
    drag_moves=()
    for _ in $(seq 30); do
        drag_moves+=(mousemove_relative -- $((sign * 3)) $((sign * 2)))
    done
    drag_moves+=(mousemove_relative -- $((sign * -20)) $((sign * 13)))
}
for button in 1 2 3; do
    read -r left top < <(window_at)
    quick_hand $((button == 2 ? -1 : 1))
    xdotool mousemove --window "$window" "${at_background[@]}" mousedown "$button" "${drag_moves[@]}"
    poll 50 grabbed_point_under_pointer || fail "button $button: after the drag the window is at \
$(window_at) and the pointer at $(xdotool getmouselocation); the grabbed point slipped"
    xdotool mouseup "$button"
    [ "$(window_at)" != "$left $top" ] || fail "button $button: the window did not move"
done

# Back from another window, the focus is in the box, wherever it was before. The focus frame
# of "翻 译" shows what the program itself makes of it: drawn while the button has the focus,
# gone while the window is inactive.
command4_picture() {
    local left top
    read -r left top < <(window_at)
    import -silent -window root -crop "81x25+$((left + 256))+$((top + 200))" +repage "$1"
}
same_picture() {
    [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]
}
focus_frame_drawn() {
    command4_picture "$e2e_folder/now.png"
    ! same_picture "$e2e_folder/now.png" "$e2e_folder/unfocused.png"
}
focus_frame_gone() {
    ! focus_frame_drawn
}
focused() {
    [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$1" ]
}
xdotool mousemove --window "$window" "${at_background[@]}"
command4_picture "$e2e_folder/unfocused.png"
xdotool key --clearmodifiers Tab
poll 50 focus_frame_drawn || fail "Tab did not take the focus to 翻 译"
LC_ALL=C xmessage -name moshitong-e2e-other -geometry +0+0 "another window" &
started $!
other_pid=$!
other=
other_window() {
    other=$(xdotool search --onlyvisible --classname '^moshitong-e2e-other$' 2>/dev/null | head -n 1 || true)
    [ -n "$other" ] && focused "$other"
}
poll 100 other_window || fail "the other window never took the focus"
poll 50 focus_frame_gone || fail "the window did not notice it had lost the focus"
xdotool windowactivate "$window" 2>/dev/null || true
poll 50 focused "$window" || fail "the window manager did not give the window the focus back"
xdotool type --delay 30 "k"
expect_box "k" "typed after switching back to the window (the focus belongs in the box)"
kill "$other_pid"

# Minimised by a double-click on the background, it stays in the task list and is restored from
# there.
click "${at_background[@]}" 1 2
window_state() {
    xprop -id "$window" WM_STATE | awk '/window state:/ {print $3}'
}
iconic() { [ "$(window_state)" = Iconic ]; }
poll 50 iconic || fail "a double-click on the background left the window $(window_state)"
in_task_bar
xdotool windowactivate "$window" 2>/dev/null || true
shown() {
    [ "$(window_state)" = Normal ] && xwininfo -id "$window" | grep -q 'IsViewable'
}
poll 50 shown || fail "the window manager did not restore the window ($(window_state))"
poll 50 focused "$window" || fail "the restored window never got the focus"

# Closed through the window manager (its Alt+F4).
xdotool key alt+F4
wait_for_end
[ "$status" -eq 0 ] || fail "closing the window ended the program with status $status"
echo "PASS: dragged with each button, focus back in the box, minimised and restored, closed"
