#!/usr/bin/env bash
# Makes small NTFS images with ntfs-3g's tools, for the tests of the NTFS index reader, and
# writes beside each image ntfs-3g's own listing of it (record number, type, size, path) as
# the reference the reader must agree with. Needs root for the FUSE mount.
#   make-ntfs-images.sh OUTDIR          the test images (seconds; skipped when up to date)
#   make-ntfs-images.sh --bench OUTDIR  one image of 500,000 files for the benchmark (minutes)
set -euo pipefail
export LC_ALL=C.UTF-8

bench=0
if [ "${1:-}" = "--bench" ]; then
    bench=1
    shift
fi
out="${1:?usage: make-ntfs-images.sh [--bench] OUTDIR}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"

for tool in mkntfs ntfs-3g setfattr python3; do
    command -v "$tool" >/dev/null || { echo "make-ntfs-images: $tool is missing" >&2; exit 1; }
done

mnt="$(mktemp -d)"
cleanup() {
    mountpoint -q "$mnt" && umount "$mnt"
    rmdir "$mnt"
}
trap cleanup EXIT

# ntfs-3g reports the record number as the inode; find lists what ntfs-3g shows of the tree.
write_listing() {
    (cd "$mnt" && find . -mindepth 1 -printf '%i\t%y\t%s\t%P\n') | sort -t$'\t' -k4 > "$1"
}

# Creates the image, mounts it, runs the filler on the mount point, writes the listing.
make_image() {
    local name="$1" size="$2" filler="$3"
    shift 3
    local img="$out/$name.img"
    rm -f "$img" "$out/$name.list"
    truncate -s "$size" "$img"
    mkntfs -F -q -f "$@" -L "$name" "$img" >/dev/null 2>&1
    ntfs-3g -o compression,big_writes "$img" "$mnt"
    "$filler" "$mnt"
    write_listing "$out/$name.list.tmp"
    umount "$mnt"
    mv "$out/$name.list.tmp" "$out/$name.list"
}

fill_mixed() {
    local m="$1"
    python3 - "$m" <<'PY'
import os, sys
m = sys.argv[1]

def write(path, data):
    with open(path, 'wb') as f:
        f.write(data)

# A tree of folders and files of assorted sizes, resident and not.
for a in range(6):
    for b in range(4):
        d = os.path.join(m, f'tree{a}', f'sub{b}', 'leaf')
        os.makedirs(d)
        for i in range(8):
            write(os.path.join(d, f'file{i}.bin'), bytes([65 + i]) * (i * 700 + a * 31 + b))
        write(os.path.join(m, f'tree{a}', f'sub{b}', 'mid.txt'), b'x' * (a * 4096 + b))

# Long and Unicode names, including a character outside the basic plane.
u = os.path.join(m, 'unicode')
os.makedirs(u)
for n in ['Résumé.docx', '中文文件夹名称.txt', 'Ελληνικά', 'emoji-\U0001F600.txt',
          'Ünïcödé ñame with spaces.dat', 'ｆｕｌｌｗｉｄｔｈ.txt']:
    write(os.path.join(u, n), n.encode('utf-8'))
long_dir = os.path.join(m, 'L' * 200)
os.makedirs(long_dir)
write(os.path.join(long_dir, 'n' * 251 + '.txt'), b'long')
write(os.path.join(u, '長' * 255), b'255 characters')

# Files deleted, and their records re-used by new files with a higher sequence number.
r = os.path.join(m, 'reuse')
os.makedirs(r)
for i in range(40):
    write(os.path.join(r, f'old{i}.tmp'), b'o' * i)
for i in range(0, 40, 2):
    os.unlink(os.path.join(r, f'old{i}.tmp'))
for i in range(15):
    write(os.path.join(r, f'new{i}.dat'), b'n' * (i * 100))

# A sparse file: large, with a few written islands.
s = os.path.join(m, 'special')
os.makedirs(s)
with open(os.path.join(s, 'sparse.bin'), 'wb') as f:
    f.truncate(64 * 1024 * 1024)
    f.seek(10 * 1024 * 1024)
    f.write(b's' * 10000)

# Two files grown by turns, so that each gets many short runs.
fa, fb = os.path.join(s, 'frag-a.bin'), os.path.join(s, 'frag-b.bin')
for i in range(400):
    for p in (fa, fb):
        with open(p, 'ab') as f:
            f.write(bytes([i % 251]) * 4096)
PY
    # A compressed folder: files written into it are compressed by ntfs-3g.
    mkdir "$m/special/packed"
    setfattr -h -v 0x00000800 -n system.ntfs_attrib_be "$m/special/packed"
    python3 -c "import sys; open(sys.argv[1],'wb').write(b'compress me ' * 40000)" \
        "$m/special/packed/text.log"

    # Win32 names with a DOS short name beside them.
    mkdir "$m/shortnames"
    echo one > "$m/shortnames/Program Settings File.ini"
    setfattr -n system.ntfs_dos_name -v "PROGRA~1.INI" "$m/shortnames/Program Settings File.ini"
    mkdir "$m/shortnames/Long Folder Name"
    setfattr -n system.ntfs_dos_name -v "LONGFO~1" "$m/shortnames/Long Folder Name"
    echo two > "$m/shortnames/Long Folder Name/inner.txt"

    # POSIX-only names: hard links in two folders.
    mkdir -p "$m/links/a" "$m/links/b"
    echo linked > "$m/links/a/target.txt"
    ln "$m/links/a/target.txt" "$m/links/b/alias.txt"

    # So many names that they no longer fit in one record: an attribute list.
    mkdir "$m/manylinks"
    head -c 3000 /dev/zero > "$m/manylinks/base.dat"
    for i in $(seq 1 40); do
        ln "$m/manylinks/base.dat" "$m/manylinks/hard-link-with-a-longer-name-$i.dat"
    done

    # So many named streams that they no longer fit in one record.
    mkdir "$m/streams"
    head -c 5000 /dev/zero > "$m/streams/host.bin"
    local chunk
    chunk="$(head -c 150 /dev/zero | tr '\0' 'z')"
    for i in $(seq 1 24); do
        setfattr -n "user.stream$i" -v "$chunk" "$m/streams/host.bin"
    done
}

# Thousands of records of which most are deleted again: whole chunks of the table unused.
fill_holes() {
    local m="$1"
    python3 - "$m" <<'PY'
import os, sys
m = sys.argv[1]
for d in range(10):
    os.makedirs(os.path.join(m, f'd{d}'))
    for i in range(1000):
        with open(os.path.join(m, f'd{d}', f'f{i}.txt'), 'wb') as f:
            f.write(b'h' * (i % 50))
for d in range(1, 9):
    for i in range(1000):
        os.unlink(os.path.join(m, f'd{d}', f'f{i}.txt'))
    os.rmdir(os.path.join(m, f'd{d}'))
PY
}

# A volume filled with small files, every other one deleted, then one file written into the
# holes: its run list outgrows the record and ntfs-3g moves it, and the name, into extensions.
fill_fragmented() {
    local m="$1"
    python3 - "$m" <<'PY'
import errno, os, sys
m = sys.argv[1]
d = os.path.join(m, 'filler')
os.makedirs(d)
n = 0
try:
    while True:
        with open(os.path.join(d, f'{n}.pad'), 'wb') as f:
            f.write(b'p' * 1024)
        n += 1
except OSError as e:
    if e.errno != errno.ENOSPC:
        raise
    os.unlink(os.path.join(d, f'{n}.pad'))
for i in range(0, n, 2):
    os.unlink(os.path.join(d, f'{i}.pad'))
written = 0
with open(os.path.join(m, 'fragmented.bin'), 'wb') as f:
    try:
        while True:
            f.write(b'F' * 65536)
            f.flush()
            written += 65536
    except OSError as e:
        if e.errno != errno.ENOSPC:
            raise
with open(os.path.join(m, 'fragmented.bin'), 'r+b') as f:
    f.truncate(max(0, written - 131072))
PY
}

# The same trick on the table itself: once the volume is full of holes, every new file makes
# the table grow into them, until its run list needs an attribute list in record 0.
fill_fragmented_table() {
    local m="$1"
    python3 - "$m" <<'PY'
import errno, os, sys
m = sys.argv[1]
d = os.path.join(m, 'fill')
os.makedirs(d)
n = 0
try:
    while True:
        with open(os.path.join(d, f'{n}'), 'wb') as f:
            f.write(b'p' * 1024)
        n += 1
except OSError as e:
    if e.errno != errno.ENOSPC:
        raise
    os.unlink(os.path.join(d, f'{n}'))
for i in range(0, n, 2):
    os.unlink(os.path.join(d, f'{i}'))
os.makedirs(os.path.join(m, 'late'))
k = 0
try:
    while True:
        open(os.path.join(m, 'late', f'e{k}'), 'wb').close()
        k += 1
except OSError as e:
    if e.errno != errno.ENOSPC:
        raise
PY
}

# A made-up Windows drive for the deep junk scan: cache and temp folders of applications, user
# folders that must never be searched, old and fresh files, a hard link and a folder reparse
# point with a file below it.
fill_profile() {
    local m="$1"
    python3 - "$m" <<'PY'
import os, struct, sys
m = sys.argv[1]
OLD = 1577836800    # 2020-01-01 00:00 UTC
FRESH = 1578614400  # 2020-01-10 00:00 UTC; the tests scan at 01:00 with a 24-hour minimum

def write(relative, size, when=OLD):
    path = os.path.join(m, *relative.split('/'))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(b'j' * size)
    os.utime(path, (when, when))
    return path

local = 'Users/bob/AppData/Local'
write(f'{local}/Foo/Bar/cache/a.bin', 3000)
write(f'{local}/Foo/Bar/cache/sub/b.bin', 1000)
write(f'{local}/Foo/Bar/cache/fresh.bin', 500, FRESH)
write(f'{local}/Foo/Bar/cache/Cookies/c.bin', 150)
linked = write(f'{local}/Foo/Bar/cache/linked-a.bin', 700)
os.link(linked, os.path.join(os.path.dirname(linked), 'linked-b.bin'))
write(f'{local}/Vendor/App/GPUCache/data_0', 4000)
write(f'{local}/Vendor/App/GPUCache/data_1', 4000)
write('Users/bob/AppData/Roaming/Chat/Service Worker/CacheStorage/abc/blob', 2500)
write('Users/bob/AppData/Roaming/Chat/Other/CacheStorage/blob', 2600)
write('Users/bob/Documents/x/cache/doc.bin', 8000)
write('Users/bob/OneDrive - Org/temp/t.bin', 8100)
write('Users/TEMP/Documents/report.docx', 6000)
write('Users/TEMP/AppData/Local/Temp/t.tmp', 100)
write('ProgramData/Vendor/App/temp/x.log', 1200)
write('ProgramData/Other/GPUCache/g.bin', 1500)
write('Foo/cache/outer.bin', 300)
write('Foo/cache/temp/inner.bin', 400)

# Folders turned into symbolic links after files were written into them: the files stay in
# the table below a reparse point, as they do below a cloud provider's synced folder. Hidden,
# so that the remount below can leave them out.
def reparse(relative):
    folder = os.path.join(m, *relative.split('/'))
    target = '..\\elsewhere'.encode('utf-16-le')
    body = struct.pack('<HHHHI', 0, len(target), len(target), len(target), 1) + target + target
    os.setxattr(folder, 'system.ntfs_reparse_data',
                struct.pack('<IHH', 0xA000000C, len(body), 0) + body)
    attributes = int.from_bytes(os.getxattr(folder, 'system.ntfs_attrib_be',
                                            follow_symlinks=False), 'big')
    os.setxattr(folder, 'system.ntfs_attrib_be', (attributes | 0x2).to_bytes(4, 'big'),
                follow_symlinks=False)

write(f'{local}/Foo/Bar/cache/junction/inside.bin', 9000)
reparse(f'{local}/Foo/Bar/cache/junction')
write('Users/bob/Synced/Project/cache/notes.txt', 5000)
reparse('Users/bob/Synced')
PY
    # ntfs-3g cannot list a folder reparse point that has children; hide it from the listing.
    local source
    source="$(findmnt -n -o SOURCE --mountpoint "$m")"
    umount "$m"
    ntfs-3g -o hide_hid_files "$source" "$m"
}

# Large files for the large-file scanner: sparse, so that gigabytes cost one cluster each.
fill_bigfiles() {
    local m="$1"
    python3 - "$m" <<'PY'
import os, sys
m = sys.argv[1]
G = 1 << 30

def sparse(relative, size):
    path = os.path.join(m, *relative.split('/'))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        if size:
            f.seek(size - 1)
            f.write(b'x')

sparse('Users/bob/Downloads/ubuntu.iso', 9 * G)
sparse('Users/bob/Videos/movie-b.mkv', 7 * G)
sparse('Users/bob/Videos/Movie-a.mkv', 7 * G)
sparse('Users/bob/Documents/mail.pst', 5 * G)
sparse('Users/bob/Downloads/offline.iso', 8 * G)
sparse('Users/bob/Downloads/notes.txt', 100)
sparse('Data/backup.zip', 5 * G)
sparse('Data/exact.bin', G)
sparse('Data/short.bin', G - 1)
sparse('Data/links/disk.vhdx', 2 * G)
os.link(os.path.join(m, 'Data', 'links', 'disk.vhdx'),
        os.path.join(m, 'Data', 'links', 'disk-copy.vhdx'))
sparse('DataOld/old.iso', 3 * G)
sparse('Program Files/App/data.pak', 3 * G)
sparse('Windows/WinSxS/store.cab', 4 * G)
sparse('Windows/notepad.exe', 200)
sparse('pagefile.sys', 6 * G)
PY
    # Offline: its data lives elsewhere, so it frees nothing here.
    setfattr -h -v 0x00001000 -n system.ntfs_attrib_be "$m/Users/bob/Downloads/offline.iso"
}

fill_bench() {
    local m="$1"
    python3 - "$m" <<'PY'
import os, sys
m = sys.argv[1]
for a in range(50):
    for b in range(20):
        d = os.path.join(m, f'area{a:02}', f'folder{b:02}')
        os.makedirs(d)
        for i in range(500):
            with open(os.path.join(d, f'document-{i:04}.dat'), 'wb') as f:
                if i % 10 == 0:
                    f.write(b'b' * (i * 3))
PY
}

if [ "$bench" = 1 ]; then
    make_image bench 2G fill_bench
    exit 0
fi

stamp="$out/.stamp"
want="$(sha256sum "$0" | cut -c1-64)"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ]; then
    exit 0
fi
rm -f "$stamp"
make_image mixed-4k 24M fill_mixed
make_image mixed-512 24M fill_mixed -c 512
make_image holes 24M fill_holes -c 1024
make_image fragmented 12M fill_fragmented -c 512
make_image fragmented-table 14M fill_fragmented_table -c 512
make_image profile 12M fill_profile
make_image bigfiles 12M fill_bigfiles
echo "$want" > "$stamp"
