#!/usr/bin/env bash
# What ./run.sh installs stays what the window needs: the whole closure of the run and headless
# sets, as apt resolves it from the archive's lists (alternatives and all, whatever this machine
# already has), holds no package that only the tests use: none that a test set names, and none of
# the families of the heavy test tools.
# Usage: run_set_test.sh SOURCE-DIR
set -euo pipefail
setup=$1/scripts/setup.sh

fail() {
    echo "FAIL: $*"
    exit 1
}

mapfile -t run_set < <("$setup" --list run headless)
[ ${#run_set[@]} -gt 0 ] || fail "the run set is empty"
closure=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
    --no-replaces --no-enhances "${run_set[@]}" 2>&1 | grep -v '^ ' | tr -d '<>' | sort -u) ||
    fail "apt-cache could not resolve the run set (are the package lists there? apt-get update)"
count=$(wc -l <<<"$closure")
# A closure this small means apt knew none of the names: nothing would have been checked.
[ "$count" -gt 100 ] || fail "apt resolved only $count packages from ${#run_set[@]} names: $closure"

found=$(grep -xF -f <("$setup" --list test desktop packaging fuzz windows) <<<"$closure" || true)
[ -z "$found" ] || fail "the run set pulls in test-only packages: $(xargs <<<"$found")"
heavy=$(grep -E '^(wine|libwine|.*mingw-w64|sway|fcitx5|clang|libclang|lintian)' <<<"$closure" ||
    true)
[ -z "$heavy" ] || fail "the run set pulls in test tools: $(xargs <<<"$heavy")"
echo "PASS: the run set's closure, $count packages from ${#run_set[@]} names, holds no test tool"
