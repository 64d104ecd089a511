#!/usr/bin/env bash
# The per-user installer under Wine, on an X server of its own (run under xvfb-run), in a Wine
# prefix of its own: a silent install (/S) puts the programs and the store under
# %LOCALAPPDATA%\Programs\墨石通, a Start-menu shortcut with the program's icon, and an Apps entry
# with the version; the shortcut starts the window, and the installed lexi-lookup.exe finds the
# store beside itself; a silent uninstall leaves no file, no shortcut and no registry key of ours.
# Usage: installer.sh INSTALLER VERSION
set -euo pipefail
# shellcheck source=wine_lib.sh
source "$(dirname "$0")/wine_lib.sh"
need xdotool xwininfo iconv
installer=$1 version=$2
# Wine as on a Chinese system, code page 936. Its shortcuts keep the target's path in the ANSI
# code page only (Windows keeps it in UTF-16 as well), so under another code page a shortcut into
# 墨石通 could not be followed. The locale is compiled into the script's own folder.
need localedef
mkdir -p "$e2e_folder/locale"
localedef -i zh_CN -f UTF-8 "$e2e_folder/locale/zh_CN.UTF-8" 2>/dev/null ||
    [ -f "$e2e_folder/locale/zh_CN.UTF-8/LC_CTYPE" ] || fail "could not compile the zh_CN locale"
export LOCPATH=$e2e_folder/locale
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Moshitong'
# A Windows folder of this prefix as a path here.
unix_folder() { winepath -u "$("$wine_run" cmd /c echo "%$1%" | tr -d '\r')"; }
# NAME: a text value of the Apps entry, empty when there is none. Exported to a file, which is
# UTF-16, where reg query would print the name in a code page that cannot spell it.
registry_value() {
    local export="$e2e_folder/entry.reg"
    rm -f "$export"
    "$wine_run" reg export "$uninstall_key" "$(winepath -w "$export")" /y >/dev/null 2>&1 || return 0
    iconv -f UTF-16 -t UTF-8 "$export" | tr -d '\r' | grep "^\"$1\"=\"" | sed 's/^"[^"]*"="//; s/"$//'
}

# Wine's prefix is made first, to ask it where the user's folders are.
"$wine_run" cmd /c exit 0
wineserver --wait
local_appdata=$(unix_folder LOCALAPPDATA)
start_menu="$(unix_folder APPDATA)/Microsoft/Windows/Start Menu/Programs"
folder="$local_appdata/Programs/墨石通"
shortcut="$start_menu/墨石通.lnk"

# ---- install ----
"$wine_run" "$installer" /S || fail "the silent install failed with status $?"
wineserver --wait
for file in moshitong.exe lexi-lookup.exe lexi uninstall.exe 说明.txt NOTICE.txt; do
    [ -f "$folder/$file" ] || fail "no $file in $folder"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut at $shortcut"
[ "$(registry_value DisplayName)" = 墨石通 ] || fail "the Apps entry has no name"
[ "$(registry_value DisplayVersion)" = "$version" ] ||
    fail "the Apps entry gives version '$(registry_value DisplayVersion)', not $version"
registry_value UninstallString | grep -q 'uninstall.exe' || fail "the Apps entry has no uninstaller"
installed_files=$(find "$folder" -type f | wc -l)
echo "installed: $installed_files files under $folder, the shortcut and the Apps entry, version $version"

# The installed lexi-lookup.exe, from another folder, finds the store beside itself.
listing=$(cd "$e2e_folder" && "$wine_run" "$folder/lexi-lookup.exe" apple) ||
    fail "the installed lexi-lookup.exe did not look apple up"
grep -q '苹果' <<<"$listing" || fail "the installed store does not know apple: $listing"

# ---- the shortcut starts the window ----
(cd "$e2e_folder" && exec "$wine_run" start /unix "$shortcut") 2>"$e2e_folder/stderr" &
pid=$!
started "$pid"
window=
find_window() { window=$(xdotool search --onlyvisible --name '^墨石通$' 2>/dev/null | head -n 1 || true); [ -n "$window" ]; }
poll 600 find_window || fail "the shortcut started no window: $(tail -n 20 "$e2e_folder/stderr")"
size=$(xwininfo -id "$window" | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w "x" h}')
# A message box has the same title; the main window, which needs the store, has this size.
[ "$size" = 356x236 ] || fail "the shortcut started a $size window, not the dictionary's"
echo "the shortcut started the window ($size)"
wineserver -k
wineserver --wait 2>/dev/null || true

# ---- uninstall ----
# The uninstaller copies itself away to be able to delete itself, and returns at once; the
# prefix's server tells when the copy has finished.
"$wine_run" "$folder/uninstall.exe" /S || fail "the silent uninstall failed with status $?"
wineserver --wait
if [ -e "$folder" ]; then
    fail "the uninstall left $(find "$folder" | head -n 5 | tr '\n' ' ')"
fi
[ ! -e "$shortcut" ] || fail "the uninstall left the shortcut"
[ -z "$(registry_value DisplayName)" ] || fail "the uninstall left the Apps entry"
# Nothing of ours anywhere in the user's registry: no key, no value naming the program or its
# folder (Wine writes the registry out in this form once its server has ended).
wineserver -k 2>/dev/null || true
wineserver --wait 2>/dev/null || true
if grep -i -n 'moshitong\|\\x58a8\\x77f3\\x901a\|墨石通' "$WINEPREFIX/user.reg" >"$e2e_folder/left"; then
    fail "the registry still names the program: $(head -n 5 "$e2e_folder/left")"
fi
echo "uninstalled: no file, shortcut or registry entry left"
