#!/usr/bin/env bash
# Builds, once per machine, what the Windows programs are linked from: a static Qt for MinGW-w64
# made from Debian's qt6-base source package, and the SQLite amalgamation made from Debian's sqlite3
# source package (the version and patches the Linux build links). Both go into a cache outside the
# work tree, each in a folder named by a key that hashes the pinned source, the options and the
# recipe below, so any change to them builds afresh and a second run does nothing.
#
#   scripts/windows-deps.sh [qt] [sqlite]     (both when none is named)
#
# Progress goes to standard error; standard output gets one assignment per result, for
#   eval "$(scripts/windows-deps.sh)"
#   MOSHITONG_WIN_QT=<prefix>          static Qt; <prefix>/lib/cmake/Qt6/qt.toolchain.cmake
#   MOSHITONG_WIN_SQLITE=<folder>      sqlite3.c, sqlite3.h, sqlite3ext.h
# Environment: MOSHITONG_CACHE (the cache folder), MOSHITONG_JOBS (parallel build jobs).
#
# The sources come through `apt-get source` with a private apt configuration whose deb-src
# entries copy this machine's own Debian mirror, so nothing under /etc changes. Apt checks the
# files against the archive's signed index; this script checks them again against the pinned .dsc.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

cache=${MOSHITONG_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/moshitong}
jobs=${MOSHITONG_JOBS:-$(nproc)}

# Pinned source packages: the .dsc's own checksum pins every file it lists. When the mirror
# stops offering a version, take the new one from `apt-cache showsrc` and update both lines.
qt_source=qt6-base=6.4.2+dfsg-10
qt_dsc_sha256=1b4b5c8610a553d4211fa81e268b1a3b0a6339ae5444fdb7e60d7616da651970
sqlite_source=sqlite3=3.40.1-2+deb12u2
sqlite_dsc_sha256=ee3459ae9d00939741c7708fc1b8ce1bde12d8c3fb1dfa005bbbc8651d884e23
sqlite_version=3.40.1

toolchain_file=cmake/mingw-w64-x86_64.cmake

# Everything the window needs and nothing it does not: no module beyond Core, Gui and Widgets,
# every third-party library built from Qt's bundled copy so that no DLL travels with the exe, and
# the widgets, dialogs and formats the program never shows switched off to shorten the build.
# tabletevent: Debian's tarball drops the tablet header the Windows plugin includes.
# dynamicgl: stays on without OpenGL in 6.4 and breaks the Windows plugin.
# directwrite3: 6.4 compiles its font database only with direct2d, yet the Windows plugin calls it
# whenever directwrite3 is on; GDI's font database serves the window as well.
# pkg_config, zstd: nothing may be picked up from the build machine's own libraries.
# mainwindow stays: 6.4's widgets compatibility code includes the tool bar, which needs it.
# XPM stays: drag and drop (text dragged into the box) depends on it for its cursors.
# inputdialog stays: the Vista style includes it.
qt_options=(
    -G Ninja
    -DCMAKE_BUILD_TYPE=Release
    -DQT_QMAKE_TARGET_MKSPEC=win32-g++
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DBUILD_SHARED_LIBS=OFF
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_opengl=OFF
    -DFEATURE_dbus=OFF
    -DFEATURE_sql=OFF
    -DFEATURE_network=OFF
    -DFEATURE_testlib=OFF
    -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF
    -DFEATURE_xml=OFF
    -DFEATURE_vulkan=OFF
    -DFEATURE_icu=OFF
    -DFEATURE_tabletevent=OFF
    -DFEATURE_dynamicgl=OFF
    -DFEATURE_directwrite3=OFF
    -DFEATURE_pkg_config=OFF
    -DFEATURE_zstd=OFF
    -DFEATURE_system_zlib=OFF
    -DFEATURE_system_png=OFF
    -DFEATURE_system_jpeg=OFF
    -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_freetype=OFF
    -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_doubleconversion=OFF
    -DFEATURE_system_libb2=OFF
    -DFEATURE_system_textmarkdownreader=OFF
    -DFEATURE_freetype=OFF
    -DFEATURE_direct2d=OFF
    -DFEATURE_androiddeployqt=OFF
    -DFEATURE_process=OFF
    -DFEATURE_sharedmemory=OFF
    -DFEATURE_systemsemaphore=OFF
    -DFEATURE_mimetype=OFF
    -DFEATURE_commandlineparser=OFF
    -DFEATURE_transposeproxymodel=OFF
    -DFEATURE_concatenatetablesproxymodel=OFF
    -DFEATURE_pdf=OFF
    -DFEATURE_textodfwriter=OFF
    -DFEATURE_textmarkdownreader=OFF
    -DFEATURE_textmarkdownwriter=OFF
    -DFEATURE_systemtrayicon=OFF
    -DFEATURE_sessionmanager=OFF
    -DFEATURE_movie=OFF
    -DFEATURE_gif=OFF
    -DFEATURE_imageformat_ppm=OFF
    -DFEATURE_imageformat_xbm=OFF
    -DFEATURE_undocommand=OFF
    -DFEATURE_undostack=OFF
    -DFEATURE_undogroup=OFF
    -DFEATURE_undoview=OFF
    -DFEATURE_style_fusion=OFF
    -DFEATURE_style_stylesheet=OFF
    -DFEATURE_graphicsview=OFF
    -DFEATURE_dockwidget=OFF
    -DFEATURE_mdiarea=OFF
    -DFEATURE_calendarwidget=OFF
    -DFEATURE_datetimeedit=OFF
    -DFEATURE_dial=OFF
    -DFEATURE_lcdnumber=OFF
    -DFEATURE_fontcombobox=OFF
    -DFEATURE_keysequenceedit=OFF
    -DFEATURE_commandlinkbutton=OFF
    -DFEATURE_toolbox=OFF
    -DFEATURE_splashscreen=OFF
    -DFEATURE_wizard=OFF
    -DFEATURE_columnview=OFF
    -DFEATURE_datawidgetmapper=OFF
    -DFEATURE_filedialog=OFF
    -DFEATURE_fontdialog=OFF
    -DFEATURE_colordialog=OFF
    -DFEATURE_progressdialog=OFF
    -DFEATURE_errormessage=OFF
)

# Packages whose versions change what gets built: the cross compiler and its runtime, and the
# host's moc, rcc and uic, which must match the Qt sources exactly.
qt_tool_packages=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
    qt6-base-dev qt6-base-dev-tools)

windows_packages="scripts/setup.sh windows installs them"

say() { printf 'windows-deps: %s\n' "$*" >&2; }
fail() {
    say "error: $*"
    exit 1
}

hash_of() { sha256sum | cut -c1-16; }

need_commands() {
    local missing=() c
    for c in "$@"; do command -v "$c" >/dev/null || missing+=("$c"); done
    [ ${#missing[@]} -eq 0 ] || fail "missing ${missing[*]}; $windows_packages"
}

tool_versions() {
    dpkg-query -W -f='${Package} ${Version}\n' "$@" 2>/dev/null ||
        fail "missing packages among: $* (install them with apt-get)"
}

# Turns every enabled `deb` entry of this machine that serves its own Debian release into a
# `deb-src` line, from both the one-line and the deb822 formats.
write_deb_src() {
    python3 - <<'EOF'
import glob, re

release = {}
for line in open("/etc/os-release"):
    key, _, value = line.strip().partition("=")
    release[key] = value.strip('"')
codename = release.get("VERSION_CODENAME", "")
suites = {codename, codename + "-updates", codename + "-security"}

entries = []  # (uri, suite, components, signed_by)
one_line = ["/etc/apt/sources.list"] + sorted(glob.glob("/etc/apt/sources.list.d/*.list"))
for path in one_line:
    try:
        lines = open(path).read().splitlines()
    except FileNotFoundError:
        continue
    for line in lines:
        line = line.split("#", 1)[0]
        m = re.match(r"\s*deb\s+(\[[^\]]*\]\s+)?(\S+)\s+(\S+)\s*(.*)", line)
        if not m:
            continue
        options = dict(o.split("=", 1) for o in (m.group(1) or "").strip("[] \t").split() if "=" in o)
        entries.append((m.group(2), m.group(3), m.group(4).split(), options.get("signed-by", "")))

for path in sorted(glob.glob("/etc/apt/sources.list.d/*.sources")):
    for stanza in re.split(r"\n\s*\n", open(path).read()):
        fields, last = {}, None
        for line in stanza.splitlines():
            if line.startswith("#"):
                continue
            if line[:1] in (" ", "\t") and last:
                fields[last] += "\n" + line.strip()
                continue
            key, sep, value = line.partition(":")
            if sep:
                last = key.strip().lower()
                fields[last] = value.strip()
        if "deb" not in fields.get("types", "").split():
            continue
        if fields.get("enabled", "yes").lower() == "no":
            continue
        signed_by = fields.get("signed-by", "")
        if not signed_by.startswith("/"):
            signed_by = ""  # an inline key cannot travel into a one-line entry
        for uri in fields.get("uris", "").split():
            for suite in fields.get("suites", "").split():
                entries.append((uri, suite, fields.get("components", "").split(), signed_by))

seen = set()
for uri, suite, components, signed_by in entries:
    if suite not in suites or (uri, suite) in seen or not components:
        continue
    seen.add((uri, suite))
    options = f"[signed-by={signed_by}] " if signed_by else ""
    print(f"deb-src {options}{uri} {suite} {' '.join(components)}")
EOF
}

# True when the .dsc has the pinned checksum and every file it lists is present and matches it.
sources_verified() {
    local dsc=$1 expected=$2
    [ -f "$dsc" ] || return 1
    [ "$(sha256sum "$dsc" | cut -d' ' -f1)" = "$expected" ] || return 1
    awk '/^Checksums-Sha256:/ { listed = 1; next } /^[^ ]/ { listed = 0 } listed && NF == 3 { print $1 "  " $3 }' \
        "$dsc" | (cd "$(dirname "$dsc")" && sha256sum --quiet --strict -c - >/dev/null 2>&1)
}

dsc_path() {
    local package=${1%%=*} version=${1#*=}
    printf '%s/sources/%s_%s.dsc\n' "$cache" "$package" "${version#*:}"
}

# Downloads the named source packages (package=version) into the cache unless already there.
fetch_sources() {
    local wanted=() pinned sha
    while [ $# -gt 0 ]; do
        pinned=$1 sha=$2
        shift 2
        sources_verified "$(dsc_path "$pinned")" "$sha" || wanted+=("$pinned")
    done
    [ ${#wanted[@]} -gt 0 ] || return 0
    need_commands apt-get python3

    local apt_dir
    apt_dir=$(mktemp -d "$cache/apt.XXXXXX")
    write_deb_src >"$apt_dir/moshitong-sources.list"
    [ -s "$apt_dir/moshitong-sources.list" ] ||
        fail "no Debian mirror found in /etc/apt for this release's deb entries"
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$cache/sources"
    local apt_options=(
        -o Dir::Etc::sourcelist=/dev/null
        -o "Dir::Etc::sourceparts=$apt_dir"
        -o "Dir::State::Lists=$apt_dir/lists"
        -o "Dir::Cache=$apt_dir/cache"
        -o "APT::Sandbox::User=$(id -un)"
    )
    say "reading the source index from $(awk '{ print $(NF-2) }' "$apt_dir/moshitong-sources.list" | sort -u | tr '\n' ' ')"
    apt-get "${apt_options[@]}" -qq update >&2 || fail "apt-get update of the deb-src entries failed"
    say "downloading ${wanted[*]}"
    (cd "$cache/sources" && apt-get "${apt_options[@]}" -q --download-only source "${wanted[@]}" >&2) ||
        fail "apt-get source ${wanted[*]} failed; if the mirror no longer offers that version, update the pin in $0"
    rm -rf "$apt_dir"
}

# Unpacks a verified source package, Debian's patches applied, into a new folder.
unpack_sources() {
    local pinned=$1 sha=$2 target=$3
    local dsc
    dsc=$(dsc_path "$pinned")
    sources_verified "$dsc" "$sha" || fail "$(basename "$dsc") or a file it lists does not match its pinned checksum"
    rm -rf "$target"
    dpkg-source --no-copy -x "$dsc" "$target" >"$target.unpack.log" 2>&1 ||
        fail "dpkg-source could not unpack $(basename "$dsc"); see $target.unpack.log"
    rm -f "$target.unpack.log"
}

in_folder() {
    local folder=$1
    shift
    cd "$folder" && "$@"
}

# Runs a build command, its output to a log, with a line of progress every hundred ninja steps.
run_logged() {
    local log=$1 what=$2
    shift 2
    local started=$SECONDS line
    if ! "$@" 2>&1 | while IFS= read -r line; do
        printf '%s\n' "$line" >>"$log"
        if [[ $line =~ ^\[([0-9]+)/([0-9]+)\] ]]; then
            local step=${BASH_REMATCH[1]} total=${BASH_REMATCH[2]}
            if ((step % 100 == 0 || step == total)); then
                say "$what: step $step of $total ($((SECONDS - started)) s)"
            fi
        fi
    done; then
        tail -n 40 "$log" >&2
        fail "$what failed after $((SECONDS - started)) s; the whole log is $log"
    fi
    say "$what: done in $((SECONDS - started)) s"
}

qt_build() {
    local prefix=$1 work=$2
    local src=$work/qtbase build=$work/build log=$work/build.log
    unpack_sources "$qt_source" "$qt_dsc_sha256" "$src"
    # Qt's installed toolchain file chains the one it was configured with: a copy inside the
    # prefix keeps the cached Qt usable when the work tree that made it is gone.
    mkdir -p "$prefix"
    cp "$repo/$toolchain_file" "$prefix/mingw-w64-x86_64.cmake"
    local configure=(cmake -S "$src" -B "$build" "${qt_options[@]}"
        "-DCMAKE_TOOLCHAIN_FILE=$prefix/mingw-w64-x86_64.cmake" "-DCMAKE_INSTALL_PREFIX=$prefix")
    printf '%q ' "${configure[@]}" >"$work/configure-line.txt"
    run_logged "$log" "qt configure" "${configure[@]}"
    run_logged "$log" "qt build" cmake --build "$build" --parallel "$jobs"
    run_logged "$log" "qt install" cmake --install "$build"
    local expected
    for expected in lib/cmake/Qt6/qt.toolchain.cmake lib/libQt6Widgets.a \
        plugins/platforms/libqwindows.a plugins/styles/libqwindowsvistastyle.a \
        plugins/imageformats/libqjpeg.a; do
        [ -f "$prefix/$expected" ] || fail "the Qt install lacks $expected"
    done
}

sqlite_build() {
    local target=$1 work=$2
    local src=$work/sqlite build=$work/build log=$work/build.log
    unpack_sources "$sqlite_source" "$sqlite_dsc_sha256" "$src"
    mkdir -p "$build"
    run_logged "$log" "sqlite configure" in_folder "$build" "$src/configure"
    run_logged "$log" "sqlite amalgamation" make -C "$build" sqlite3.c
    grep -q "^#define SQLITE_VERSION  *\"$sqlite_version\"" "$build/sqlite3.h" ||
        fail "the amalgamation is not SQLite $sqlite_version"
    mkdir -p "$target"
    cp "$build/sqlite3.c" "$build/sqlite3.h" "$src/src/sqlite3ext.h" "$target/"
}

# Builds one result unless its keyed folder is complete; under a lock, so that two runs at once
# neither build the same thing twice nor see half of it.
provide() {
    local name=$1 folder=$2 builder=$3
    shift 3
    local stamp=$folder/.complete
    [ -f "$stamp" ] && return 0
    mkdir -p "$cache"
    exec {lock}>"$cache/.lock-$(basename "$folder")"
    flock "$lock"
    if [ ! -f "$stamp" ]; then
        local work=$folder.work
        rm -rf "$folder" "$work"
        mkdir -p "$work"
        fetch_sources "$@"
        say "$name: building into $folder"
        local started=$SECONDS
        "$builder" "$folder" "$work"
        {
            printf 'built %s in %s s from %s\n' "$(date -u +%Y-%m-%dT%H:%M:%SZ)" "$((SECONDS - started))" "$1"
            [ ! -f "$work/configure-line.txt" ] || cat "$work/configure-line.txt"
        } >"$folder/.recipe"
        rm -rf "$work"
        touch "$stamp"
        say "$name: ready in $((SECONDS - started)) s"
    fi
    exec {lock}>&-
}

qt_key() {
    {
        echo "$qt_source $qt_dsc_sha256"
        printf '%s\n' "${qt_options[@]}"
        sha256sum <"$toolchain_file"
        tool_versions "${qt_tool_packages[@]}"
        declare -f qt_build unpack_sources sources_verified
    } | hash_of
}

sqlite_key() {
    {
        echo "$sqlite_source $sqlite_dsc_sha256 $sqlite_version"
        declare -f sqlite_build unpack_sources sources_verified
    } | hash_of
}

main() {
    local want_qt=0 want_sqlite=0 arg
    [ $# -gt 0 ] || set -- qt sqlite
    for arg in "$@"; do
        case "$arg" in
            qt) want_qt=1 ;;
            sqlite) want_sqlite=1 ;;
            -h | --help)
                sed -n '2,/^set -euo/p' "$0" | sed -e '$d' -e 's/^# \{0,1\}//'
                return 0
                ;;
            *) fail "unknown argument $arg (expected qt, sqlite or nothing)" ;;
        esac
    done
    if ((want_qt)); then
        local qt_prefix
        qt_prefix=$cache/qt-win-$(qt_key)
        if [ ! -f "$qt_prefix/.complete" ]; then
            need_commands cmake ninja x86_64-w64-mingw32-g++-posix dpkg-source flock
        fi
        provide qt "$qt_prefix" qt_build "$qt_source" "$qt_dsc_sha256"
        echo "MOSHITONG_WIN_QT=$qt_prefix"
    fi
    if ((want_sqlite)); then
        local sqlite_dir
        sqlite_dir=$cache/sqlite-$sqlite_version-$(sqlite_key)
        if [ ! -f "$sqlite_dir/.complete" ]; then
            need_commands make cc tclsh dpkg-source flock
        fi
        provide sqlite "$sqlite_dir" sqlite_build "$sqlite_source" "$sqlite_dsc_sha256"
        echo "MOSHITONG_WIN_SQLITE=$sqlite_dir"
    fi
}

main "$@"
