#!/usr/bin/env bash
# Builds and runs the benchmarks on the full store and prints one table (Markdown).
# Needs the store that ./test.sh or ./run.sh builds into build/bin.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh run headless test
# The store, the window, the bare window it is measured against and the listing probe
# (bench/startup.sh); the tests are not needed.
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target lexi-store moshitong bare_window listing_probe
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)" --target lookup_bench startup_probe
out=build-bench/lookup_bench.json
build-bench/bin/lookup_bench --store build/bin/lexi --repetitions "${REPETITIONS:-50}" \
    --benchmark_format=json --benchmark_out="$out" --benchmark_out_format=json >/dev/null
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), SQLite $(sqlite3 --version | cut -d' ' -f1)"
python3 bench/table.py "$out"
bench/startup.sh
