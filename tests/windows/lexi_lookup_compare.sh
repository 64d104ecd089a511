#!/usr/bin/env bash
# lexi-lookup.exe under Wine prints, byte for byte, what the Linux lexi-lookup prints: several
# hundred queries from the full store (English and Chinese headwords, fragments, wildcards, mixed
# and absent texts), in every mode, as batches on standard input and as arguments.
# Usage: lexi_lookup_compare.sh WINDOWS-LEXI-LOOKUP LINUX-LEXI-LOOKUP STORE
set -euo pipefail
windows=$1 linux=$2 store=$3
here=$(cd "$(dirname "$0")" && pwd)
wine_run=$here/../../scripts/wine-run.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The program and its store in a folder whose name needs more than the ANSI code page.
folder="$work/墨石通 词典"
mkdir -p "$folder"
cp "$windows" "$folder/lexi-lookup.exe"
cp "$store" "$folder/lexi"

python3 "$here/lookup_queries.py" "$store" >"$work/queries"
count=$(wc -l <"$work/queries")
[ "$count" -ge 300 ] || fail "only $count queries were drawn from the store"

runs=0
compare() {  # NAME ARGS...: the same arguments and queries on both
    local name=$1
    shift
    local linux_status=0 windows_status=0
    "$linux" --store "$store" "$@" <"$work/queries" >"$work/$name.linux" || linux_status=$?
    # No --store: the Windows program must find the store beside itself.
    LANG=C.UTF-8 "$wine_run" "$folder/lexi-lookup.exe" "$@" <"$work/queries" \
        >"$work/$name.windows" 2>"$work/$name.errors" || windows_status=$?
    [ "$linux_status" = "$windows_status" ] ||
        fail "$name: exit status $windows_status on Windows, $linux_status on Linux: $(head -c 400 "$work/$name.errors")"
    cmp -s "$work/$name.linux" "$work/$name.windows" || {
        diff <(head -c 200000 "$work/$name.linux") <(head -c 200000 "$work/$name.windows") | head -n 20 >&2
        fail "$name: the Windows output differs from the Linux output"
    }
    [ -s "$work/$name.linux" ] || fail "$name: no output at all"
    runs=$((runs + 1))
}

compare concise
compare concise-fuzzy --fuzzy
compare professional --professional
compare professional-fuzzy --professional --fuzzy
compare direction --direction
compare concise-json --json
compare concise-fuzzy-json --fuzzy --json
compare professional-json --professional --json
compare professional-fuzzy-json --professional --fuzzy --json

# Queries as arguments: Chinese ones must survive the Windows command line.
: >"$work/queries"
compare arguments --json -- apple 苹果 '苹%' 'a_b' '中文 text'

echo "PASS: $count queries in $((runs - 1)) modes and 5 arguments, byte for byte the same"
