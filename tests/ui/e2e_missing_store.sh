#!/usr/bin/env bash
# The real program on an X server (run under xvfb-run) with no store beside it: it reports the
# failure in a message box and on standard error, never maps its window, and exits non-zero once
# the box is dismissed. Usage: e2e_missing_store.sh PROGRAM [STORE-MAKER, unused]
set -euo pipefail
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
need xdotool xwininfo

cp "$1" "$e2e_folder/moshitong"
"$e2e_folder/moshitong" 2>"$e2e_folder/stderr" &
pid=$!
started "$pid"

# The message box carries the program's title; wait for it to be mapped.
box=
find_box() {
    box=$(xdotool search --onlyvisible --name '^墨石通$' 2>/dev/null | head -n 1 || true)
    [ -n "$box" ] || ! kill -0 "$pid" 2>/dev/null
}
poll 100 find_box
[ -n "$box" ] || fail "no message box appeared: $(cat "$e2e_folder/stderr")"

# Every window the program mapped is the box: none has the main window's size.
for window in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null || true) $box; do
    size=$(xwininfo -id "$window" | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w "x" h}')
    [ "$size" != 356x236 ] || fail "the main window was mapped"
done

# Dismiss the box as a user does: focus it and press Enter.
xdotool windowfocus --sync "$box" 2>/dev/null || true
xdotool key --clearmodifiers Return
wait_for_end
[ "$status" -ne 0 ] || fail "the program exited with status 0"
if ! grep -q "运行时错误 [0-9]" "$e2e_folder/stderr" || ! grep -qF "$e2e_folder/lexi" "$e2e_folder/stderr"; then
    fail "standard error does not name the error and the path: $(cat "$e2e_folder/stderr")"
fi
echo "PASS: exit status $status; standard error:"
cat "$e2e_folder/stderr"
