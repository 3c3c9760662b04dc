#!/usr/bin/env bash
# Installs what is missing, builds, and runs Purvex under Wine. With a display the window
# opens; without one, screenshots of the pages are written to PNG files and their paths printed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${PURVEX_BUILD_DIR:-$root/build}"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" --target purvex

export WINEPREFIX="$build/wine" WINEDEBUG=-all
run() { "$build/wine-run.sh" "$build/bin/purvex.exe" "$@"; }

if [ -n "${DISPLAY:-}" ]; then
    run "$@"
    exit $?
fi

out="${PURVEX_SCREENSHOTS:-$build/screenshots}"
mkdir -p "$out"
BUILD="$build" xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
    set -e
    out="$0"
    run() { "$1/wine-run.sh" "$1/bin/purvex.exe" "${@:2}"; }
    for page in home junk social video bigfiles slim settings about; do
        for theme in light dark; do
            file="$out/$page-$theme.png"
            run "$BUILD" --page "$page" --theme "$theme" --screenshot "Z:${file//\//\\}"
            echo "$file"
        done
    done
    file="$out/gallery.png"
    run "$BUILD" --gallery --screenshot "Z:${file//\//\\}"
    echo "$file"
    wineserver -k 2>/dev/null || true' "$out"
