// The large-file scan through the NTFS index of the benchmark image against the same scan by
// walking the same tree, in the same run. scripts/bigfiles-bench.sh mounts the image read-only
// through ntfs-3g and runs:
//   bigfiles_scan_bench.exe Z:\path\to\bench.img Z:\path\to\mount [MIN_SIZE_BYTES] [ROUNDS]
// The benchmark image's files are small, so the default minimum (1,000 bytes) is small too:
// the point is the cost of looking at 500,000 files, not their size.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench_tree.h"
#include "core/fs/ntfs/path_index_impl.h"
#include "core/fs/ntfs/volume.h"
#include "core/fs/ntfs/volume_geometry.h"
#include "core/fs/path_text.h"
#include "core/task_runner.h"
#include "modules/bigfiles/big_file_scanner.h"

namespace {

using namespace purvex;
using bench::TimeMs;

std::wstring Backslashes(std::wstring path) {
    std::replace(path.begin(), path.end(), L'/', L'\\');  // long paths take only backslashes
    return path;
}

void PrintResult(const char* name, const bigfiles::ScanResult& r) {
    std::printf("%-6s: %llu files checked, %llu of at least the minimum (%.1f MiB), %zu kept%s\n",
                name, static_cast<unsigned long long>(r.filesChecked),
                static_cast<unsigned long long>(r.matchCount), r.matchBytes / 1048576.0,
                r.items.size(), r.stopped ? ", STOPPED" : "");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bigfiles_scan_bench IMAGE MOUNTED_TREE [MIN_SIZE] [ROUNDS]\n");
        return 2;
    }
    const std::wstring image = Backslashes(argv[1]);
    const std::wstring tree = Backslashes(argv[2]);
    const std::uint64_t minSize = argc > 3 ? _wcstoui64(argv[3], nullptr, 10) : 1000;
    const int rounds = std::max(1, argc > 4 ? _wtoi(argv[4]) : 3);

    DWORD error = 0;
    core::ntfs::Volume volume(core::ntfs::Volume::Open(core::ToLongPath(image), error));
    std::uint8_t sector[512];
    if (error != 0 || !volume.Read(0, sector, sizeof(sector))) {
        std::fprintf(stderr, "cannot read the image (error %lu)\n", error);
        return 1;
    }
    const auto geometry = core::ntfs::GeometryFromBootSector(sector);
    if (!geometry) {
        std::fprintf(stderr, "not an NTFS image\n");
        return 1;
    }

    bigfiles::ScanOptions indexOptions;
    indexOptions.root = L"C:\\";
    indexOptions.minSize = minSize;
    bigfiles::ScanOptions walkOptions = indexOptions;
    walkOptions.root = tree;
    walkOptions.forceWalk = true;

    double build = 1e18, indexScan = 1e18, walk = 1e18;
    bigfiles::ScanResult fromIndex, fromWalk;
    for (int r = 0; r < rounds; ++r) {
        core::CancelToken cancel;
        std::unique_ptr<core::ntfs::PathIndexImpl> index;
        core::MftStatus status = core::MftStatus::IoError;
        build = std::min(build, TimeMs([&] {
                             index = core::ntfs::BuildPathIndex(volume, *geometry, L'C', cancel,
                                                                nullptr, &status);
                         }));
        if (!index) {
            std::fprintf(stderr, "index build failed with status %d\n", static_cast<int>(status));
            return 1;
        }
        indexScan = std::min(indexScan, TimeMs([&] {
                                 fromIndex = bigfiles::BigFileScanner::ScanIndex(
                                     *index, indexOptions, cancel, nullptr);
                             }));
        walk = std::min(walk, TimeMs([&] {
                            fromWalk =
                                bigfiles::BigFileScanner::ScanWalk(walkOptions, cancel, nullptr);
                        }));
    }
    const unsigned workers = core::TaskRunner::Instance().WorkerCount();
    core::TaskRunner::Instance().Shutdown();

    std::printf("minimum size %llu bytes, top %llu, best of %d rounds, %u walker threads\n",
                static_cast<unsigned long long>(minSize),
                static_cast<unsigned long long>(indexOptions.topCount), rounds, workers);
    PrintResult("index", fromIndex);
    PrintResult("walk", fromWalk);
    if (fromIndex.matchCount != fromWalk.matchCount ||
        fromIndex.matchBytes != fromWalk.matchBytes) {
        std::fprintf(stderr, "the two scans disagree\n");
        return 1;
    }
    std::printf("index build (ReadMft + index)         : %9.1f ms\n", build);
    std::printf("scan of the built index               : %9.1f ms\n", indexScan);
    std::printf("walk of the mounted tree (baseline)   : %9.1f ms\n", walk);
    std::printf("walk / index scan                     : %9.1f x\n", walk / indexScan);
    std::printf("walk / (index build + index scan)     : %9.1f x\n", walk / (build + indexScan));
    return 0;
}
