#!/usr/bin/env bash
# The real program on an X server (run under xvfb-run) with no store beside it: it reports the
# failure in a message box and on standard error, never maps its window, and exits non-zero once
# the box is dismissed. Usage: e2e_missing_store.sh PROGRAM [STORE-MAKER, unused]
set -euo pipefail
program=$1

folder=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$folder"
}
trap cleanup EXIT

cp "$program" "$folder/moshitong"
"$folder/moshitong" 2>"$folder/stderr" &
pid=$!

# The message box carries the program's title; wait for it to be mapped.
box=
for _ in $(seq 100); do
    box=$(xdotool search --onlyvisible --name '^墨石通$' 2>/dev/null | head -n 1 || true)
    [ -n "$box" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
[ -n "$box" ] || { echo "FAIL: no message box appeared"; cat "$folder/stderr"; exit 1; }

# Every window the program mapped is the box: none has the main window's size.
for window in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null || true) $box; do
    size=$(xwininfo -id "$window" | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w "x" h}')
    if [ "$size" = 356x236 ]; then
        echo "FAIL: the main window was mapped"
        exit 1
    fi
done

# Dismiss the box as a user does: focus it and press Enter.
xdotool windowfocus --sync "$box" 2>/dev/null || true
xdotool key --clearmodifiers Return
status=
for _ in $(seq 100); do
    if ! kill -0 "$pid" 2>/dev/null; then
        status=0
        wait "$pid" || status=$?
        pid=
        break
    fi
    sleep 0.1
done
[ -n "$status" ] || { echo "FAIL: the program did not end after the box was dismissed"; exit 1; }
if [ "$status" -eq 0 ]; then
    echo "FAIL: the program exited with status 0"
    exit 1
fi
if ! grep -q "运行时错误 [0-9]" "$folder/stderr" || ! grep -qF "$folder/lexi" "$folder/stderr"; then
    echo "FAIL: standard error does not name the error and the path:"
    cat "$folder/stderr"
    exit 1
fi
echo "PASS: exit status $status; standard error:"
cat "$folder/stderr"
