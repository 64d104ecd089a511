#!/usr/bin/env bash
# lexi-lookup.exe in a console window set to code page 936, as on a Chinese system: what it
# prints, on standard output and on standard error, reads on the screen as the Chinese the Linux
# lexi-lookup prints. The console is Wine's, in a terminal made by tmux, whose screen is read
# back with capture-pane. (To a file or a pipe the bytes stay UTF-8: lexi_lookup_compare.sh.)
# Usage: lexi_lookup_console.sh WINDOWS-LEXI-LOOKUP LINUX-LEXI-LOOKUP STORE
set -euo pipefail
windows=$1 linux=$2 store=$3
here=$(cd "$(dirname "$0")" && pwd)
wine_run=$here/../../scripts/wine-run.sh
work=$(mktemp -d)
socket=lexi-console-$$
trap 'tmux -L "$socket" kill-server 2>/dev/null || true; rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    echo "--- the console's screen:" >&2
    cat "$work/screen" >&2 2>/dev/null || true
    exit 1
}
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

cp "$windows" "$work/lexi-lookup.exe"
# The English query lists Chinese explanations; the missing store names a Chinese folder on
# standard error.
"$linux" --store "$store" apple >"$work/expected" || fail "the Linux lexi-lookup found no apple"
grep -q '[^ -~]' "$work/expected" || fail "the expected listing has no Chinese to look for"
missing="$work/不存在/lexi"

# A wide screen, so that no line of the listing wraps.
tmux -L "$socket" new-session -d -s console -x 200 -y 60 "LANG=C.UTF-8 '$wine_run' cmd"
type_line() { tmux -L "$socket" send-keys -t console -l "$1" && tmux -L "$socket" send-keys -t console Enter; }
screen() { tmux -L "$socket" capture-pane -p -J -S -200 -t console >"$work/screen"; }
wait_for() {  # TEXT: until the screen shows it, at most a minute
    for _ in $(seq 120); do
        screen
        grep -qF -- "$1" "$work/screen" && return 0
        sleep 0.5
    done
    fail "the console never showed: $1"
}
wait_for '>'
type_line 'chcp 936'
wait_for 'code page: 936'
type_line "\"$(windows_path "$work/lexi-lookup.exe")\" --store \"$(windows_path "$store")\" apple"
type_line "\"$(windows_path "$work/lexi-lookup.exe")\" --store \"$(windows_path "$missing")\" 苹果"
type_line 'echo console-finished'
wait_for 'console-finished'
sleep 1
screen

# The screen drops a line's trailing spaces.
sed 's/ *$//' "$work/expected" | while IFS= read -r line; do
    [ -n "$line" ] || continue
    grep -qxF -- "$line" "$work/screen" || fail "the listing's line \"$line\" is not on the screen"
done
grep -q '^lexi-lookup: cannot open the dictionary .*不存在' "$work/screen" ||
    fail "standard error's report of the missing store is not on the screen"
echo "lexi-lookup.exe wrote $(grep -c . "$work/expected") lines and its error as Chinese in a console on code page 936"
