#!/usr/bin/env bash
# Runs the large-file scan benchmark: the scan through the NTFS index of the benchmark image
# against a walk of the same tree, which Wine reaches through a read-only ntfs-3g mount of the
# image (root, for the FUSE mount). Make the image first:
#   scripts/make-ntfs-images.sh --bench build/bench-images
#   scripts/bigfiles-bench.sh [IMAGE] [MIN_SIZE_BYTES] [ROUNDS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${PURVEX_BUILD_DIR:-$root/build}"
image="$(realpath "${1:-$build/bench-images/bench.img}")"
shift || true

mnt="$(mktemp -d)"
cleanup() {
    mountpoint -q "$mnt" && umount "$mnt"
    rmdir "$mnt"
}
trap cleanup EXIT
ntfs-3g -o ro "$image" "$mnt"
"$build/wine-run.sh" "$build/bin/bigfiles_scan_bench.exe" "Z:$image" "Z:$mnt" "$@"
