#!/usr/bin/env bash
# Fuzzes the NTFS reader natively with libFuzzer, AddressSanitizer and UndefinedBehavior-
# Sanitizer, in two targets: the record, run-list and boot-sector parsers one input at a time
# (ntfs_record_fuzzer), and the whole table reader with the index built from it over a small
# made-up volume (ntfs_table_fuzzer). The seed corpora are cut from the test images
# (make-ntfs-images.sh).
#   fuzz-ntfs.sh [SECONDS]   per target, default 60; findings go to $build/fuzz/ as crash-*
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${PURVEX_BUILD_DIR:-$root/build}"
seconds="${1:-60}"
out="$build/fuzz"
mkdir -p "$out/corpus" "$out/table-corpus"

ntfs="$root/src/core/fs/ntfs"
parsers=("$ntfs/fixup.cpp" "$ntfs/run_list.cpp" "$ntfs/mft_record.cpp" "$ntfs/volume_geometry.cpp")
flags=(-std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
       -I "$root/src")
clang++ "${flags[@]}" "$root/fuzz/ntfs_record_fuzzer.cpp" "${parsers[@]}" \
    -o "$out/ntfs_record_fuzzer"
clang++ "${flags[@]}" "$root/fuzz/ntfs_table_fuzzer.cpp" "${parsers[@]}" \
    "$ntfs/mft_reader.cpp" "$ntfs/path_index_impl.cpp" "$root/src/core/progress.cpp" \
    -o "$out/ntfs_table_fuzzer"

"$root/scripts/make-ntfs-images.sh" "$build/ntfs-images"
# Every record of each image's table that is in use, as written by ntfs-3g, plus boot
# sectors; and each image's first 128 KiB of table behind the table fuzzer's header.
python3 - "$build/ntfs-images" "$out/corpus" "$out/table-corpus" <<'PY'
import glob, hashlib, os, struct, sys
images, corpus, tables = sys.argv[1], sys.argv[2], sys.argv[3]

def keep(folder, data):
    with open(os.path.join(folder, hashlib.sha1(data).hexdigest()), 'wb') as out:
        out.write(data)

for path in sorted(glob.glob(os.path.join(images, '*.img'))):
    with open(path, 'rb') as f:
        boot = f.read(512)
        sector = struct.unpack_from('<H', boot, 0x0B)[0]
        cluster = sector * boot[0x0D]
        lcn = struct.unpack_from('<Q', boot, 0x30)[0]
        mft = lcn * cluster
        per = struct.unpack_from('<b', boot, 0x40)[0]
        record = per * cluster if per > 0 else 1 << -per
        keep(corpus, boot)
        f.seek(mft)
        for _ in range(600):
            data = f.read(record)
            if len(data) < record or data[:4] != b'FILE':
                break
            if struct.unpack_from('<H', data, 0x16)[0] & 1:
                keep(corpus, data)
        f.seek(mft)
        table = f.read(128 * 1024)
    # Record size code, cluster size code, then start cluster - 1, valid length (0: from
    # record 0) and the volume's bytes past the table, as the table fuzzer reads them.
    rest = os.path.getsize(path) - mft - len(table)
    header = bytes([{1024: 0, 2048: 1, 4096: 2}[record], (cluster // 512).bit_length() - 1])
    keep(tables, header + struct.pack('<III', lcn - 1, 0, rest) + b'\0\0' + table)
PY

cd "$out"
run() {
    local name="$1" corpus="$2"
    shift 2
    if ! "./$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -print_final_stats=1 "$@" "$corpus" > "$name.log" 2>&1; then
        tail -40 "$name.log" >&2
        echo "fuzz-ntfs: $name found a fault; see $out/$name.log and $out/crash-*" >&2
        return 1
    fi
    local runs
    runs="$(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$name.log" | grep -o '[0-9]*$')"
    echo "fuzz-ntfs: $name ran $runs inputs in ${seconds} s, no fault"
}
status=0
run ntfs_record_fuzzer corpus || status=1
run ntfs_table_fuzzer table-corpus -max_len=200000 || status=1
exit $status
