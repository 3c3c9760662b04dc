#!/usr/bin/env bash
# Creates a private Wine prefix that is safe for a file-deleting program to run in:
# profile folders are plain folders (a fresh prefix links them to the real home folder),
# Windows 10 is reported, and the fonts the UI needs are registered.
set -euo pipefail
prefix="${1:?usage: wine-prefix.sh PREFIX_DIR}"
mkdir -p "$prefix"
prefix="$(cd "$prefix" && pwd)"
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export XDG_DATA_HOME="$prefix/xdg-data"
mkdir -p "$XDG_DATA_HOME"

exec 9>"$prefix.lock"
flock 9
[ -f "$prefix/.purvex-safe" ] && [ -f "$prefix/drive_c/windows/Fonts/tahoma.ttf" ] && exit 0

if [ ! -f "$prefix/.purvex-safe" ]; then
    echo "purvex: creating the Wine prefix $prefix" >&2
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
fi

# Replace every link under the profiles with a plain folder before anything runs in it.
users="$prefix/drive_c/users"
if [ -d "$users" ]; then
    find "$users" -type l | while read -r link; do
        rm -f "$link"
        mkdir -p "$link"
    done
fi
if find "$users" -type l | grep -q .; then
    echo "purvex: the prefix still links outside itself; refusing to use it" >&2
    exit 1
fi

[ -f "$prefix/.purvex-safe" ] || wine winecfg -v win10 >/dev/null 2>&1 || true

fonts="$prefix/drive_c/windows/Fonts"
mkdir -p "$fonts"
for f in /usr/share/wine/fonts/tahoma*.ttf; do
    [ -f "$f" ] || continue
    cp -f "$f" "$fonts/"
done
reg() { wine reg add "$@" /f >/dev/null 2>&1 || true; }
fontkey='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts'
[ -f "$fonts/tahoma.ttf" ] && reg "$fontkey" /v "Tahoma (TrueType)" /t REG_SZ /d tahoma.ttf
[ -f "$fonts/tahomabd.ttf" ] && reg "$fontkey" /v "Tahoma Bold (TrueType)" /t REG_SZ /d tahomabd.ttf
reg 'HKCU\Software\Wine\Fonts\Replacements' /v "Segoe UI" /t REG_SZ /d Tahoma
reg 'HKCU\Software\Wine\Fonts\Replacements' /v "Segoe UI Semibold" /t REG_SZ /d Tahoma
wineserver -w || true

touch "$prefix/.purvex-safe"
