#!/usr/bin/env bash
# Brings a Debian 12 machine up to what one or more purposes need: the apt packages of each set in
# scripts/packages.txt and, for the run set, the pinned dictionary sources.
#
#   scripts/setup.sh PURPOSE...       for example: scripts/setup.sh run headless
#   scripts/setup.sh --list PURPOSE...  prints the packages of those sets, one a line
#
# Idempotent: when everything is present it installs nothing, and asks apt nothing.
set -euo pipefail
cd "$(dirname "$0")/.."

list=scripts/packages.txt

# The names under one [purpose] heading.
packages_of() {
    awk -v want="[$1]" '
        /^[[:space:]]*(#|$)/ { next }
        /^\[/ { inside = ($1 == want); next }
        inside { print $1 }
    ' "$list"
}

listing=0
if [ "${1:-}" = --list ]; then
    listing=1
    shift
fi
[ $# -gt 0 ] || {
    echo "usage: scripts/setup.sh [--list] PURPOSE... (the sets of $list)" >&2
    exit 2
}

for purpose in "$@"; do
    grep -qxF "[$purpose]" "$list" || {
        echo "setup: no set [$purpose] in $list; the sets are:" \
            "$(sed -n 's/^\[\(.*\)\]$/\1/p' "$list" | xargs)" >&2
        exit 2
    }
done
packages=()
for purpose in "$@"; do
    mapfile -t -O "${#packages[@]}" packages < <(packages_of "$purpose")
done
mapfile -t packages < <(printf '%s\n' "${packages[@]}" | awk '!seen[$0]++')

if [ "$listing" = 1 ]; then
    printf '%s\n' "${packages[@]}"
    exit 0
fi
# An npm already on the PATH (from Node.js's own installer, say) fetches the sources as well.
if command -v npm >/dev/null 2>&1; then
    mapfile -t packages < <(printf '%s\n' "${packages[@]}" | grep -vx npm)
fi

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup ($*): installing ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

for purpose in "$@"; do
    [ "$purpose" != run ] || scripts/fetch-data.sh
done
