# What the end-to-end scripts share: the real program started in a folder of its own with the
# small store beside it, waiting for it, pointing and clicking in its window, and reading its
# text box from outside. Sourced by the e2e_*.sh scripts, which run on an X server (xvfb-run);
# e2e_wayland.sh starts a Wayland compositor instead and puts Wayland tools in place of the X ones.
#
# Every wait is a poll with a bound, never a fixed sleep: the scripts wait for what they can see
# (a window, a selection, a property, the process ending), so a slow machine only makes them
# slower.

# shellcheck shell=bash
# The positions and texts below are for the scripts that source this file.
# shellcheck disable=SC2034

# The program talks to this X server only, whatever desktop the caller runs: no input method and
# no session bus of the caller's (a script that needs them starts its own), and no Wayland.
export QT_QPA_PLATFORM=xcb
unset QT_IM_MODULE XMODIFIERS DBUS_SESSION_BUS_ADDRESS

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The tools a script needs; a missing one fails the test rather than skipping it.
need() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 ||
            fail "$tool is not installed (scripts/setup.sh desktop installs the window tests' tools)"
    done
}

# poll TRIES COMMAND...: runs COMMAND every tenth of a second until it succeeds.
poll() {
    local tries=$1
    shift
    local _
    for _ in $(seq "$tries"); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

e2e_folder=$(mktemp -d)
# Folders removed when the script ends: its own, and any other a script adds.
e2e_folders=("$e2e_folder")
e2e_pids=()
# Processes the script started, ended in reverse order when it exits, however it exits.
started() {
    e2e_pids+=("$1")
}
e2e_cleanup() {
    local status=$? i
    for ((i = ${#e2e_pids[@]} - 1; i >= 0; i--)); do
        kill "${e2e_pids[i]}" 2>/dev/null || true
        # Some write into the folder as they end (fcitx5 saves its settings).
        wait "${e2e_pids[i]}" 2>/dev/null || true
    done
    rm -rf "${e2e_folders[@]}" || true
    exit "$status"
}
trap e2e_cleanup EXIT

# start_program PROGRAM STORE-MAKER: the program in a folder of its own with the small store
# beside it, started with the environment the caller set. Sets `pid` and, once the main window
# is mapped, `window`.
start_program() {
    cp "$1" "$e2e_folder/moshitong"
    "$2" "$e2e_folder/lexi"
    "$e2e_folder/moshitong" 2>"$e2e_folder/stderr" &
    pid=$!
    started "$pid"
    window=
    poll 100 find_main_window ||
        fail "the window never appeared: $(cat "$e2e_folder/stderr")"
}
find_main_window() {
    still_running
    window=$(xdotool search --onlyvisible --name '^墨石通$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ]
}

still_running() {
    kill -0 "$pid" 2>/dev/null || fail "the program ended: $(cat "$e2e_folder/stderr")"
}

# Positions in the window, in pixels from its top-left corner.
readonly at_box=(150 100)
readonly at_translate=(296 212)  # Command4, "翻 译" / "清 除"
readonly at_concise=(268 164)    # Command3, "简明查询", on the panel
readonly at_background=(8 8)     # the picture above the box, off every control

# click X Y [BUTTON [REPEAT]]
click() {
    still_running
    xdotool mousemove --window "$window" "$1" "$2" click --repeat "${4:-1}" --delay 80 "${3:-1}"
}

# read_box_with PUT GET COPY: the text in the box, as a user could copy it, into `box`. PUT MARKER
# puts a marker where the copy lands and holds it there; GET prints what is there now; COPY selects
# all of the box with the keyboard (Ctrl+Home, then Ctrl+Shift+End: movement keys, which the box
# lets through even while it refuses typing) and copies it where selecting alone does not. The
# marker tells when the program has handled those keys, and with them every key sent before. Only
# for a box with text in it: an empty selection copies nothing and leaves the marker there.
read_box_with() {
    local put=$1 copy=$3
    copied_by=$2
    still_running
    local marker="moshitong-e2e-marker-$RANDOM$RANDOM"
    "$put" "$marker" &
    local holder=$!
    started "$holder"
    poll 50 copied_is "$marker" || fail "could not put a marker where the box's text is copied to"
    "$copy"
    poll 100 copied_is_not "$marker" || fail "the box's text was never copied (is the box empty?)"
    box=$("$copied_by")
    # Back to the end, so that the selection is not typed over.
    "$copy" end
    kill "$holder" 2>/dev/null || true
}
copied_is() {
    [ "$("$copied_by" 2>/dev/null)" = "$1" ]
}
copied_is_not() {
    still_running
    local text
    text=$("$copied_by" 2>/dev/null) && [ "$text" != "$1" ]
}

# X's primary selection, which the program fills with whatever is selected in the box.
put_primary() {
    exec xclip -quiet -selection primary -i 2>/dev/null < <(printf '%s' "$1")
}
primary_text() {
    xclip -o -selection primary
}
# select_box [end]: selects all of the box, or with `end` goes back to its end.
select_box() {
    if [ "${1:-}" = end ]; then
        xdotool key --clearmodifiers ctrl+End
    else
        xdotool key --clearmodifiers ctrl+Home ctrl+shift+End
    fi
}
read_box() {
    read_box_with put_primary primary_text select_box
}

# expect_box EXPECTED WHAT: fails, naming WHAT, unless the box reads EXPECTED.
expect_box() {
    read_box
    [ "$box" = "$1" ] || fail "$2: the box reads '$box', not '$1'"
}

# Waits for the program to end by itself; sets `status` to its exit status.
wait_for_end() {
    poll 100 program_ended || fail "the program did not end"
    status=0
    wait "$pid" || status=$?
}
program_ended() {
    ! kill -0 "$pid" 2>/dev/null
}

# The listing the small store gives for "apple" with the concise lookup.
readonly apple_listing=$'\napple\n\nn. 苹果；苹果树\n\n--------------------------------'
