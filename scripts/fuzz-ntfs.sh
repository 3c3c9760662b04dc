#!/usr/bin/env bash
# Fuzzes the NTFS record, run-list and boot-sector parsers natively with libFuzzer and
# AddressSanitizer. The seed corpus is cut from the test images (make-ntfs-images.sh).
#   fuzz-ntfs.sh [SECONDS]   default 60; findings go to $build/fuzz/ as crash-* files
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${PURVEX_BUILD_DIR:-$root/build}"
seconds="${1:-60}"
out="$build/fuzz"
mkdir -p "$out/corpus"

parsers=(fixup run_list mft_record volume_geometry)
sources=("$root/fuzz/ntfs_record_fuzzer.cpp")
for p in "${parsers[@]}"; do
    sources+=("$root/src/core/fs/ntfs/$p.cpp")
done
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I "$root/src" "${sources[@]}" -o "$out/ntfs_record_fuzzer"

"$root/scripts/make-ntfs-images.sh" "$build/ntfs-images"
# Every record of each image's table that is in use, as written by ntfs-3g, plus boot sectors.
python3 - "$build/ntfs-images" "$out/corpus" <<'PY'
import glob, hashlib, os, struct, sys
images, corpus = sys.argv[1], sys.argv[2]
for path in sorted(glob.glob(os.path.join(images, '*.img'))):
    with open(path, 'rb') as f:
        boot = f.read(512)
        sector = struct.unpack_from('<H', boot, 0x0B)[0]
        cluster = sector * boot[0x0D]
        mft = struct.unpack_from('<Q', boot, 0x30)[0] * cluster
        per = struct.unpack_from('<b', boot, 0x40)[0]
        record = per * cluster if per > 0 else 1 << -per
        samples = [boot]
        f.seek(mft)
        for _ in range(600):
            data = f.read(record)
            if len(data) < record or data[:4] != b'FILE':
                break
            if struct.unpack_from('<H', data, 0x16)[0] & 1:
                samples.append(data)
    for data in samples:
        name = hashlib.sha1(data).hexdigest()
        with open(os.path.join(corpus, name), 'wb') as out:
            out.write(data)
PY

cd "$out"
if ! ./ntfs_record_fuzzer -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 corpus > fuzz.log 2>&1; then
    tail -40 fuzz.log >&2
    echo "fuzz-ntfs: the fuzzer found a fault; see $out/fuzz.log and $out/crash-*" >&2
    exit 1
fi
echo "fuzz-ntfs: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' fuzz.log | grep -o '[0-9]*$') inputs in ${seconds} s, no fault"
