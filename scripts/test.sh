#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine and Xvfb.
# Extra arguments go to ctest (for example -R Launch).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${PURVEX_BUILD_DIR:-$root/build}"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
# Real NTFS volumes for the index reader's tests, made by ntfs-3g's tools (seconds; cached).
"$root/scripts/make-ntfs-images.sh" "$build/ntfs-images"

export WINEPREFIX="$build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export XDG_DATA_HOME="$WINEPREFIX/xdg-data"
scratch="$WINEPREFIX/drive_c/purvex-tests"
# Scratch folders may hold Linux symlinks that Windows code must not delete through.
rm -rf "$scratch"

status=0
# A full run (no ctest arguments, as CI does it) also fuzzes the NTFS reader briefly; it
# runs first so that the test summary stays the last thing printed.
if [ "$#" -eq 0 ]; then
    "$root/scripts/fuzz-ntfs.sh" "${PURVEX_FUZZ_SECONDS:-30}" || status=1
fi
xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
    wineserver -p 60 && wine wineboot >/dev/null 2>&1
    cd "$0" && ctest --output-on-failure -j "${PURVEX_JOBS:-$(nproc)}" "${@}"
    rc=$?
    wineserver -k 2>/dev/null || true
    exit $rc' "$build" "$@" || status=$?
rm -rf "$scratch"
exit $status
