# What the Windows window's scripts share, on top of the end-to-end scripts' own (e2e_lib.sh):
# the Windows programs under Wine, in a Wine prefix of the script's own, ended with the script.
# A prefix of its own because Wine's desktop belongs to the first program of a prefix, and one
# started without a display (the console suites) would leave a window none.

# shellcheck shell=bash
# shellcheck disable=SC2034
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../ui/e2e_lib.sh
source "$here/../ui/e2e_lib.sh"
need wine wineserver
# Wine hands the environment on to the program; Qt for Windows knows only its own platform.
unset QT_QPA_PLATFORM
wine_run=$here/../../scripts/wine-run.sh
export WINEPREFIX=$e2e_folder/wine
# Wine's own menu builder copies every shortcut into this machine's desktop menus and records it
# in the prefix's registry, at a moment of its choosing: no Windows does either.
export WINEDLLOVERRIDES=winemenubuilder.exe=d
end_wine() {
    local status=$?
    wineserver -k 2>/dev/null || true
    e2e_cleanup_status=$status
}
trap 'end_wine; (exit "$e2e_cleanup_status"); e2e_cleanup' EXIT

# start_windows_program: moshitong.exe from `folder`; sets `pid`, and `window` once mapped.
start_windows_program() {
    local started_at=$SECONDS
    (cd "$folder" && exec "$wine_run" "$folder/moshitong.exe") 2>"$e2e_folder/stderr" &
    pid=$!
    started "$pid"
    window=
    # A new Wine prefix takes several seconds to come up before the first window.
    poll 600 find_main_window || fail "the window never appeared: $(tail -n 20 "$e2e_folder/stderr")"
    echo "the window appeared after $((SECONDS - started_at)) s"
}

# Wine puts Windows' clipboard on X's CLIPBOARD, not the primary selection: select all with the
# keyboard and copy with Ctrl+Insert (which the locked box allows), then read CLIPBOARD.
put_clipboard() {
    exec xclip -quiet -selection clipboard -i 2>/dev/null < <(printf '%s' "$1")
}
# Windows' text has CR LF line ends; what the user sees is one line end each.
clipboard_text() {
    xclip -o -selection clipboard | tr -d '\r'
}
copy_box() {
    if [ "${1:-}" = end ]; then
        select_box end
    else
        xdotool key --clearmodifiers ctrl+Home ctrl+shift+End ctrl+Insert
    fi
}
read_box_through_clipboard() {
    read_box_with put_clipboard clipboard_text copy_box
}
expect_windows_box() {
    read_box_through_clipboard
    [ "$box" = "$1" ] || fail "$2: the box reads '$box', not '$1'"
}
