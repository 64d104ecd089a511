#!/usr/bin/env bash
# Runs a Windows program of this build under Wine: the test runner's and CMake's emulator for the
# Windows build. The Wine prefix lives in the build tree (WINEPREFIX overrides it) and is made
# once, under a lock, so that tests started side by side share one.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build-windows/wine}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts: the programs need neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            wineboot --init >/dev/null 2>&1 || true
            wineserver --wait
            [ -f "$WINEPREFIX/system.reg" ] || {
                echo "wine-run: could not make the Wine prefix $WINEPREFIX" >&2
                exit 1
            }
        fi
    ) 9>"$WINEPREFIX.lock"
fi
exec wine "$@"
