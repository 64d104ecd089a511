#!/usr/bin/env bash
# Start-up and memory of the window program on the full store, on an X server of its own (Xvfb):
# time from process start to the window mapped (median of several starts), resident memory after
# start-up, and resident memory after a long run of mixed lookups driven by real X events.
#
#   bench/startup.sh [PROGRAM [PROBE]]     (LOOKUPS=1000 and STARTS=7 by default)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath -m "${1:-$root/build/bin/moshitong}")
probe=$(realpath -m "${2:-$root/build-bench/bin/startup_probe}")
lookups=${LOOKUPS:-1000}
starts=${STARTS:-7}

if [ ! -x "$program" ] || [ ! -x "$probe" ]; then
    echo "startup.sh: needs $program and $probe (./bench.sh builds both)" >&2
    exit 1
fi
if [ "${MOSHITONG_BENCH_INSIDE:-}" != 1 ]; then
    MOSHITONG_BENCH_INSIDE=1 exec xvfb-run -a -s "-screen 0 800x600x24" "$0" "$program" "$probe"
fi

field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p"; }
# The program inherits the probe's output, so the probe writes to a file: a pipe would stay open
# for as long as the program runs.
probe_out=$(mktemp)
trap 'rm -f "$probe_out"' EXIT
start() { "$probe" "$program" >"$probe_out"; cat "$probe_out"; }
times=()
for _ in $(seq "$starts"); do
    start >/dev/null
    line=$(cat "$probe_out")
    times+=("$(echo "$line" | field mapped_ms)")
    rss=$(echo "$line" | field rss_kb)
    pid=$(echo "$line" | field pid)
    kill "$pid"
    wait "$pid" 2>/dev/null || true
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
echo "start-up to window mapped: median ${median} ms over ${starts} starts (all: ${times[*]})"
echo "resident memory after start-up: $((rss / 1024)) MB"

# One more start, then lookups of every kind through the real window, as a user makes them.
start >/dev/null
line=$(cat "$probe_out")
pid=$(echo "$line" | field pid)
window=$(xdotool search --onlyvisible --name '^墨石通$' | head -n 1)
# Centres of the controls, in pixels of the window.
translate=(296 212) exact=(268 60) fuzzy=(268 96) professional=(268 132) concise=(268 164)
# English only: Xvfb has no keyboard mapping through which X events could type Chinese.
words=(apple app tion zq water e ing qzxv Google was)
click() { echo "mousemove --window $window $1 $2 click 1"; }
for i in $(seq "$lookups"); do
    word=${words[$((i % ${#words[@]}))]}
    option=("${exact[@]}")
    [ $((i % 3)) -eq 0 ] && option=("${fuzzy[@]}")
    button=("${concise[@]}")
    [ $((i % 2)) -eq 0 ] && button=("${professional[@]}")
    # shellcheck disable=SC2046
    # `type` takes every word after it as text, so the clicks need an invocation of their own.
    xdotool windowfocus --sync "$window" type --delay 0 "$word"
    xdotool $(click "${translate[@]}") $(click "${option[@]}") $(click "${button[@]}") \
        $(click "${translate[@]}")
done
[ -n "${SNAPSHOT:-}" ] && import -window "$window" "$SNAPSHOT"
echo "resident memory after $lookups mixed lookups: $(($(awk '/VmRSS/ {print $2}' /proc/"$pid"/status) / 1024)) MB"
kill "$pid"
