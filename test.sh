#!/usr/bin/env bash
# Sets everything up, builds, and runs every test. Exits non-zero on any failure.
#
# Three stages, each incremental: the normal build and its tests; the same build and tests under
# AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer (preset asan); and a short run of
# every fuzz target (fuzz/run.sh; MOSHITONG_FUZZ_SECONDS each, 45 by default), skipped when the
# fuzz targets are exactly those that last came through a run unharmed. MOSHITONG_QUICK=1 runs the
# first stage only, for a quick check while working; CI runs all three.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
jobs=$(nproc)

cmake --preset default >/dev/null
cmake --build --preset default -j "$jobs"
ctest --preset default

if [ "${MOSHITONG_QUICK:-0}" = 1 ]; then
    echo "test.sh: MOSHITONG_QUICK=1: the sanitizer suite and the fuzz runs were skipped"
    exit 0
fi

cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan

fuzz/run.sh --if-changed
