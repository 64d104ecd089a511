#!/usr/bin/env bash
# Start-up and memory of the window program on the full store beside a bare Qt window of the same
# size (bench/bare_window.cpp, the floor that Qt itself sets), on an X server of their own (Xvfb):
# time from process start to the window mapped (median of several starts, the two programs taken
# in turn), resident memory after start-up (once the column images are read), resident memory
# after a long run of mixed lookups driven by real X events, and the ratios to the bare window.
# As root it also times the first professional listing of a session with the kernel's page cache
# dropped just before (bench/listing_probe.cpp).
#
#   bench/startup.sh [PROGRAM [PROBE [BARE [LISTING]]]]   (LOOKUPS=1000, STARTS=9 by default)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath -m "${1:-$root/build/bin/moshitong}")
probe=$(realpath -m "${2:-$root/build-bench/bin/startup_probe}")
bare=$(realpath -m "${3:-$root/build/bin/bare_window}")
listing=$(realpath -m "${4:-$root/build/bin/listing_probe}")
lookups=${LOOKUPS:-1000}
starts=${STARTS:-9}

for needed in "$program" "$probe" "$bare"; do
    if [ ! -x "$needed" ]; then
        echo "startup.sh: needs $needed (./bench.sh builds it)" >&2
        exit 1
    fi
done
if [ "${MOSHITONG_BENCH_INSIDE:-}" != 1 ]; then
    MOSHITONG_BENCH_INSIDE=1 exec xvfb-run -a -s "-screen 0 800x600x24" \
        "$0" "$program" "$probe" "$bare" "$listing"
fi

field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p"; }
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
mb() { awk -v kb="$1" 'BEGIN {printf "%.1f", kb / 1024}'; }
# The program inherits the probe's output, so the probe writes to a file: a pipe would stay open
# for as long as the program runs.
probe_out=$(mktemp)
trap 'rm -f "$probe_out"' EXIT
# On a busy machine the X server now and then refuses a connection: a start is tried again.
start() {
    for _ in 1 2 3; do
        if "$probe" "$1" >"$probe_out"; then
            cat "$probe_out"
            return 0
        fi
        sleep 1
    done
    return 1
}
stop() {
    kill "$1"
    wait "$1" 2>/dev/null || true
}

declare -A times rss
for _ in $(seq "$starts"); do
    for which in bare program; do
        executable=$bare
        [ "$which" = program ] && executable=$program
        line=$(start "$executable")
        times[$which]+=" $(echo "$line" | field mapped_ms)"
        rss[$which]+=" $(echo "$line" | field rss_kb)"
        stop "$(echo "$line" | field pid)"
    done
done
# shellcheck disable=SC2086
{
    bare_ms=$(median ${times[bare]})
    program_ms=$(median ${times[program]})
    bare_kb=$(median ${rss[bare]})
    program_kb=$(median ${rss[program]})
}
echo "start-up to window mapped, median of $starts starts each, taken in turn:"
echo "  bare window ${bare_ms} ms (all:${times[bare]})"
echo "  墨石通      ${program_ms} ms (all:${times[program]}), $(ratio "$program_ms" "$bare_ms")× the bare window"
echo "resident memory after start-up, column images read (median):"
echo "  bare window $(mb "$bare_kb") MB"
echo "  墨石通      $(mb "$program_kb") MB, $(ratio "$program_kb" "$bare_kb")× the bare window"

# One more start, then lookups of every kind through the real window, as a user makes them.
line=$(start "$program")
pid=$(echo "$line" | field pid)
started_kb=$(echo "$line" | field rss_kb)
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
    # `type` takes every word after it as text, so the clicks need an invocation of their own.
    xdotool windowfocus --sync "$window" type --delay 0 "$word"
    # shellcheck disable=SC2046
    xdotool $(click "${translate[@]}") $(click "${option[@]}") $(click "${button[@]}") \
        $(click "${translate[@]}")
done
[ -n "${SNAPSHOT:-}" ] && import -window "$window" "$SNAPSHOT"
after_kb=$(awk '/VmRSS/ {print $2}' /proc/"$pid"/status)
echo "resident memory after $lookups mixed lookups: $(mb "$after_kb") MB," \
    "$(mb $((after_kb - started_kb))) MB above the same start's $(mb "$started_kb") MB"
stop "$pid"

if [ "$(id -u)" = 0 ] && [ -x "$listing" ]; then
    cold=() warm=()
    for _ in 1 2 3; do
        warm+=("$("$listing" | field listing_ms)")
        cold+=("$("$listing" --cold | field listing_ms)")
    done
    echo "first professional listing of \`e\` (101 entries), press to painted:" \
        "median $(median "${warm[@]}") ms (${warm[*]}); page cache dropped before it:" \
        "median $(median "${cold[@]}") ms (${cold[*]})"
fi
