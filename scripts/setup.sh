#!/usr/bin/env bash
# Installs what building, running and testing need, from Debian's packages only.
set -euo pipefail
packages=(cmake ninja-build mingw-w64 g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth
          googletest fonts-wine fonts-noto-cjk fonts-noto-core imagemagick python3
          ntfs-3g attr clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "purvex: installing ${missing[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
