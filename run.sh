#!/usr/bin/env bash
# Sets everything up and opens the 墨石通 window on the default dictionary.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"
if [ ! -x build/bin/moshitong ]; then
    echo "run.sh: the window program does not exist yet; try build/bin/lexi-lookup." >&2
    exit 1
fi
exec build/bin/moshitong "$@"
