#!/usr/bin/env bash
# The Debian packages as cpack builds them from this build: moshitong with the programs and
# moshitong-data with the store, the files where Debian puts them, the libraries' packages found by
# dpkg-shlibdeps, the fonts and the data of the same version added, and lintian finding neither an
# error nor a warning in either. Then both unpacked into one scratch root, from which lexi-lookup
# and the window (run under xvfb-run) look a word up. Compressed with gzip here, which is several
# times faster than the release's xz and makes no difference to what is checked.
# Usage: package_test.sh CPACK BUILD-DIR
set -euo pipefail
cpack=$1
build=$2

fail() {
    echo "FAIL: $*"
    exit 1
}

for tool in dpkg-deb dpkg-shlibdeps lintian; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup.sh packaging installs it)"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! "$cpack" --config "$build/CPackConfig.cmake" -B "$work" \
    -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    fail "cpack failed"
fi
shopt -s nullglob
debs=("$work"/moshitong_*.deb)
datas=("$work"/moshitong-data_*.deb)
[ ${#debs[@]} -eq 1 ] || fail "expected one moshitong_*.deb, found ${#debs[@]}"
[ ${#datas[@]} -eq 1 ] || fail "expected one moshitong-data_*.deb, found ${#datas[@]}"
deb=${debs[0]}
data=${datas[0]}
echo "packages: $(basename "$deb") ($(du -k "$deb" | cut -f1) kB), $(basename "$data") ($(du -k "$data" | cut -f1) kB)"

# The program depends on its libraries, its fonts and on the data of exactly its own version.
version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
depended=$(awk -F '[,|]' '{ for (i = 1; i <= NF; i++) { split($i, word, " "); print word[1] } }' \
    <<<"$depends")
for package in libqt6widgets6 libsqlite3-0 libstdc++6 fonts-noto-cjk fonts-dejavu-extra \
    qt6-translations-l10n; do
    grep -qxF "$package" <<<"$depended" || fail "Depends lacks $package"
done
# The characters BabelStone Han would draw come with the program, in a face of its own.
! grep -qxF fonts-babelstone-han <<<"$depended" || fail "Depends still names fonts-babelstone-han"
grep -qF "moshitong-data (= $version)" <<<"$depends" ||
    fail "Depends does not name moshitong-data (= $version)"
[ "$(dpkg-deb -f "$data" Version)" = "$version" ] || fail "the data's version is not $version"
[ "$(dpkg-deb -f "$data" Architecture)" = all ] || fail "moshitong-data is not Architecture: all"
[ -z "$(dpkg-deb -f "$data" Depends)" ] || fail "moshitong-data depends on something"

dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./||' >"$work/contents"
dpkg-deb -c "$data" | awk '{ print $6 }' | sed 's|^\./||' >"$work/data-contents"
for file in usr/bin/moshitong usr/bin/lexi-lookup \
    usr/share/doc/moshitong/copyright usr/share/doc/moshitong/changelog.gz \
    usr/share/doc/moshitong/NOTICE usr/share/applications/example.moshitong.Moshitong.desktop \
    usr/share/metainfo/example.moshitong.Moshitong.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/example.moshitong.Moshitong.svg; do
    grep -qxF "$file" "$work/contents" || fail "moshitong lacks /$file"
done
for file in usr/share/moshitong/lexi usr/share/doc/moshitong-data/copyright \
    usr/share/doc/moshitong-data/changelog.gz; do
    grep -qxF "$file" "$work/data-contents" || fail "moshitong-data lacks /$file"
done
# The store is the data's alone; the data holds nothing else that runs.
! grep -qE '/lexi$' "$work/contents" || fail "the program's package holds a store"
if grep -vE '^(usr/share/|usr/$|$)' "$work/data-contents"; then
    fail "moshitong-data installs files outside /usr/share"
fi
# Everything lives under /usr, and the store's builder is no part of the application.
if grep -vE '^(usr/|$)' "$work/contents"; then
    fail "the package installs files outside /usr"
fi
! grep -qE '^usr/bin/lexi-build$|^usr/bin/lexi$' "$work/contents" ||
    fail "the package installs the builder or a store in /usr/bin"

# Errors and warnings fail; informational tags are printed for the reader.
for package in "$deb" "$data"; do
    lintian --fail-on error,warning --display-info "$package" >"$work/lintian.log" 2>&1 &&
        status=0 || status=$?
    grep -v 'running with root privileges' "$work/lintian.log" | sed 's/^/lintian: /' || true
    [ "$status" -eq 0 ] || fail "lintian reports errors or warnings in $(basename "$package")"
done

# ---- both packages unpacked into one scratch root, and used from there ----------------------
root=$work/root
dpkg-deb -x "$deb" "$root"
dpkg-deb -x "$data" "$root"
if ! listing=$(cd "$work" && "$root/usr/bin/lexi-lookup" apple 2>"$work/lookup.err"); then
    cat "$work/lookup.err"
    fail "lexi-lookup from the unpacked packages failed"
fi
grep -q '苹果' <<<"$listing" || fail "lexi-lookup apple does not translate it as 苹果: $listing"

# The window from the same root, on the X server the test runs under: it finds the data
# package's store, and a concise lookup of "apple" lists 苹果 in the box.
# shellcheck source=../ui/e2e_lib.sh
source "$(dirname "$0")/../ui/e2e_lib.sh"
e2e_folders+=("$work")
need xdotool xclip
(cd "$work" && exec "$root/usr/bin/moshitong") 2>"$e2e_folder/stderr" &
pid=$!
started "$pid"
poll 100 find_main_window || fail "the unpacked window never appeared: $(cat "$e2e_folder/stderr")"
click "${at_box[@]}"
xdotool type --delay 40 apple
click "${at_translate[@]}"
click "${at_concise[@]}"
read_box
grep -q '苹果' <<<"$box" || fail "the unpacked window's lookup of apple shows: $box"
echo "PASS: $(basename "$deb") and $(basename "$data") built, dependencies found, lintian clean;" \
    "unpacked together, lexi-lookup and the window look apple up"
