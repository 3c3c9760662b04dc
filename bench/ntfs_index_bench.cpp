// Building the NTFS path index against a plain sequential read of the same table bytes, in
// the same run, over an image made by `scripts/make-ntfs-images.sh --bench`:
//   wine-run.sh bin/ntfs_index_bench.exe Z:\path\to\bench.img
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/fs/ntfs/fixup.h"
#include "core/fs/ntfs/mft_reader.h"
#include "core/fs/ntfs/mft_record.h"
#include "core/fs/ntfs/on_disk.h"
#include "core/fs/ntfs/path_index_impl.h"
#include "core/fs/ntfs/run_list.h"
#include "core/fs/ntfs/volume.h"
#include "core/fs/path_text.h"

using namespace purvex::core;
using namespace purvex::core::ntfs;
using Clock = std::chrono::steady_clock;

namespace {

struct Table {
    std::vector<Extent> extents;
    std::uint64_t dataSize = 0;
};

// The table's own runs, from record 0, for the baseline read.
bool ReadTableRuns(BlockDevice& device, const VolumeGeometry& g, Table& table) {
    std::vector<std::uint8_t> record(g.bytesPerRecord);
    if (!device.Read(g.mftStartLcn * g.bytesPerCluster, record.data(), record.size()) ||
        ApplyFixups(record) != FixupResult::Ok) {
        return false;
    }
    AttributeWalker walker(record);
    Attribute a;
    while (walker.Next(a)) {
        if (a.type == kAttrData && a.nameLength == 0 && a.nonResident) {
            if (!DecodeRunList(a.runList, a.startVcn, table.extents)) {
                return false;
            }
            if (a.startVcn == 0) {
                table.dataSize = a.dataSize;
            }
        }
    }
    return !table.extents.empty();
}

double RawRead(BlockDevice& device, const VolumeGeometry& g, const Table& table) {
    constexpr std::uint64_t kChunk = 4u << 20;
    // The buffer is part of the read, as the reader's own buffer is part of the build.
    const auto start = Clock::now();
    std::vector<std::uint8_t> buffer(kChunk);
    std::uint64_t checksum = 0;
    for (const Extent& e : table.extents) {
        const std::uint64_t from = e.vcn * g.bytesPerCluster;
        if (from >= table.dataSize) {
            break;
        }
        const std::uint64_t bytes = std::min(e.clusters * g.bytesPerCluster, table.dataSize - from);
        for (std::uint64_t done = 0; done < bytes; done += kChunk) {
            const std::uint64_t n = std::min(kChunk, bytes - done);
            if (!device.Read(e.lcn * g.bytesPerCluster + done, buffer.data(), n)) {
                std::fprintf(stderr, "read failed\n");
                return -1;
            }
            checksum += buffer[0];
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return checksum == UINT64_MAX ? -1 : seconds;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: ntfs_index_bench IMAGE [ROUNDS]\n");
        return 2;
    }
    const int rounds = argc > 2 ? _wtoi(argv[2]) : 3;
    std::wstring image = argv[1];
    std::replace(image.begin(), image.end(), L'/', L'\\');  // long paths take only backslashes
    DWORD error = 0;
    Volume volume(Volume::Open(ToLongPath(image), error));
    if (error != 0) {
        std::fprintf(stderr, "cannot open the image (error %lu)\n", error);
        return 1;
    }
    std::uint8_t sector[512];
    if (!volume.Read(0, sector, sizeof(sector))) {
        return 1;
    }
    auto geometry = GeometryFromBootSector(sector);
    Table table;
    if (!geometry || !ReadTableRuns(volume, *geometry, table)) {
        std::fprintf(stderr, "not an NTFS image\n");
        return 1;
    }
    const std::uint64_t records = table.dataSize / geometry->bytesPerRecord;

    RawRead(volume, *geometry, table);  // warm the cache so that both sides read alike
    double raw = 1e9, read = 1e9, build = 1e9;
    std::uint64_t entries = 0, memory = 0, nameChars = 0;
    for (int r = 0; r < rounds; ++r) {
        raw = std::min(raw, RawRead(volume, *geometry, table));

        CancelToken cancel;
        std::uint64_t reported = 0;
        auto start = Clock::now();
        const MftStatus readStatus = ReadMft(
            volume, *geometry,
            [&](const MftRecordView&) {
                ++reported;
                return true;
            },
            cancel, nullptr);
        read = std::min(read, std::chrono::duration<double>(Clock::now() - start).count());

        MftStatus status = MftStatus::IoError;
        start = Clock::now();
        auto index = BuildPathIndex(volume, *geometry, L'C', cancel, nullptr, &status);
        build = std::min(build, std::chrono::duration<double>(Clock::now() - start).count());
        if (readStatus != MftStatus::Ok || status != MftStatus::Ok) {
            std::fprintf(stderr, "build failed with status %d\n", static_cast<int>(status));
            return 1;
        }
        entries = index->EntryCount();
        memory = index->MemoryBytes();
        nameChars = 0;
        index->ForEach([&](const IndexEntry& e) {
            nameChars += e.nameLength;
            return true;
        });
    }

    std::printf("table: %llu records (%.1f MiB), %llu entries indexed, best of %d rounds\n",
                static_cast<unsigned long long>(records), table.dataSize / 1048576.0,
                static_cast<unsigned long long>(entries), rounds);
    std::printf("raw sequential read of the table : %8.3f s  (%.0f MiB/s)\n", raw,
                table.dataSize / 1048576.0 / raw);
    std::printf("ReadMft, records only            : %8.3f s  ratio %.2f x raw\n", read, read / raw);
    std::printf("ReadMft + index build            : %8.3f s  ratio %.2f x raw (target <= 2)\n",
                build, build / raw);
    std::printf("records per second (build)       : %8.0f\n", records / build);
    // What merely laying out the index's final bytes in fresh memory costs here, since that
    // part of the build does not depend on the parser (it is large under Wine).
    double touch = 1e9;
    for (int r = 0; r < rounds; ++r) {
        const auto start = Clock::now();
        std::vector<std::uint8_t> fresh(static_cast<std::size_t>(memory), 1);
        touch = std::min(touch, std::chrono::duration<double>(Clock::now() - start).count());
        if (fresh[fresh.size() / 2] != 1) {
            return 1;
        }
    }
    std::printf("filling that much fresh memory   : %8.3f s  (%.2f x raw)\n", touch, touch / raw);
    std::printf(
        "index memory                     : %8.1f MiB, %.1f bytes per entry "
        "(names %.1f, target < 64)\n",
        memory / 1048576.0, static_cast<double>(memory) / entries, 2.0 * nameChars / entries);
    return 0;
}
