# What the Windows window's scripts share, on top of the end-to-end scripts' own (e2e_lib.sh):
# the Windows programs under Wine, in a Wine prefix of the script's own, ended with the script.
# A prefix of its own because Wine's desktop belongs to the first program of a prefix, and one
# started without a display (the console suites) would leave a window none.

# shellcheck shell=bash
# shellcheck disable=SC2034
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../ui/e2e_lib.sh
source "$here/../ui/e2e_lib.sh"
need wine wineserver
# Wine hands the environment on to the program; Qt for Windows knows only its own platform.
unset QT_QPA_PLATFORM
wine_run=$here/../../scripts/wine-run.sh
export WINEPREFIX=$e2e_folder/wine
end_wine() {
    local status=$?
    wineserver -k 2>/dev/null || true
    e2e_cleanup_status=$status
}
trap 'end_wine; (exit "$e2e_cleanup_status"); e2e_cleanup' EXIT
