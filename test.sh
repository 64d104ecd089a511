#!/usr/bin/env bash
# Sets everything up, builds, and runs every test. Exits non-zero on any failure.
#
# Four stages, each incremental, each installing what it needs just before it runs: the normal
# build and its tests (the desktop and packaging tools among them); the same build and tests under
# AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer (preset asan); a short run of
# every fuzz target (fuzz/run.sh; MOSHITONG_FUZZ_SECONDS each, 45 by default), skipped when the
# fuzz targets are exactly those that last came through a run unharmed; and the Windows programs,
# cross-built with MinGW-w64 against a static Qt (built once per machine into a cache, see
# scripts/windows-deps.sh) and tested under Wine (preset windows). MOSHITONG_QUICK=1 runs the first
# stage only, for a quick check while working; CI runs all four.
set -euo pipefail
cd "$(dirname "$0")"
jobs=$(nproc)

scripts/setup.sh run headless test desktop packaging
cmake --preset default >/dev/null
cmake --build --preset default -j "$jobs"
ctest --preset default

if [ "${MOSHITONG_QUICK:-0}" = 1 ]; then
    echo "test.sh: MOSHITONG_QUICK=1: the sanitizer suite, the fuzz runs and the Windows stage were skipped"
    exit 0
fi

cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan

scripts/setup.sh fuzz
fuzz/run.sh --if-changed

scripts/setup.sh windows
# Assigned first, so that a failed Qt build stops the run here (eval of an empty result would not).
windows_deps=$(scripts/windows-deps.sh)
eval "$windows_deps"
export MOSHITONG_WIN_QT MOSHITONG_WIN_SQLITE
cmake --preset windows >/dev/null
cmake --build --preset windows
ctest --preset windows
# What the two code pages say differently: a report for the reader, not a test.
scripts/wine-run.sh build-windows/bin/codepage_report.exe
