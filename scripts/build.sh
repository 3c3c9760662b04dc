#!/usr/bin/env bash
# Configures and builds into build/ (or $PURVEX_BUILD_DIR) with the mingw-w64 toolchain.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${PURVEX_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${PURVEX_BUILD_TYPE:-Release}" >/dev/null
cmake --build "$build" -j "${PURVEX_JOBS:-$(nproc)}" "$@"
"$root/scripts/wine-prefix.sh" "$build/wine"
