#!/usr/bin/env bash
# The Debian package as cpack builds it from this build: the files where Debian puts them, the
# libraries' packages found by dpkg-shlibdeps and the font package added, and lintian finding
# neither an error nor a warning. Compressed with gzip here, which is several times faster than
# the release's xz and makes no difference to what is checked.
# Usage: package_test.sh CPACK BUILD-DIR
set -euo pipefail
cpack=$1
build=$2

fail() {
    echo "FAIL: $*"
    exit 1
}

for tool in dpkg-deb dpkg-shlibdeps lintian; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup.sh installs it)"
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
[ ${#debs[@]} -eq 1 ] || fail "expected one moshitong_*.deb, found ${#debs[@]}"
deb=${debs[0]}
echo "package: $(basename "$deb")"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
depended=$(awk -F '[,|]' '{ for (i = 1; i <= NF; i++) { split($i, word, " "); print word[1] } }' \
    <<<"$depends")
for package in libqt6widgets6 libsqlite3-0 libstdc++6 fonts-noto-cjk fonts-babelstone-han \
    qt6-translations-l10n; do
    grep -qxF "$package" <<<"$depended" || fail "Depends lacks $package"
done

dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./||' >"$work/contents"
for file in usr/bin/moshitong usr/bin/lexi-lookup usr/share/moshitong/lexi \
    usr/share/doc/moshitong/copyright usr/share/doc/moshitong/changelog.gz \
    usr/share/doc/moshitong/NOTICE usr/share/applications/example.moshitong.Moshitong.desktop \
    usr/share/metainfo/example.moshitong.Moshitong.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/example.moshitong.Moshitong.svg; do
    grep -qxF "$file" "$work/contents" || fail "the package lacks /$file"
done
# Everything lives under /usr, and the store's builder is no part of the application.
if grep -vE '^(usr/|$)' "$work/contents"; then
    fail "the package installs files outside /usr"
fi
! grep -qE '^usr/bin/lexi-build$|^usr/bin/lexi$' "$work/contents" ||
    fail "the package installs the builder or a store in /usr/bin"

# Errors and warnings fail; informational tags are printed for the reader.
lintian --fail-on error,warning --display-info "$deb" >"$work/lintian.log" 2>&1 && status=0 ||
    status=$?
grep -v 'running with root privileges' "$work/lintian.log" | sed 's/^/lintian: /' || true
[ "$status" -eq 0 ] || fail "lintian reports errors or warnings (exit status $status)"
echo "PASS: $(basename "$deb") built, dependencies found, lintian clean of errors and warnings"
