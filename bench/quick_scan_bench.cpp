// Quick-scans a generated machine whose ten user temp folders hold 100,000 qualifying files
// (100 folders of 100 files each per user) with the built-in catalog, and compares it with a
// plain single-threaded FindFirstFileExW recursion over the same tree in the same run, the
// baseline of the walker benchmark. The tree is made under C:\purvex-bench and removed after.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "bench_tree.h"
#include "core/cancel_token.h"
#include "core/fs/directory.h"
#include "core/fs/path_text.h"
#include "core/system_time.h"
#include "core/task_runner.h"
#include "core/unique_handle.h"
#include "modules/junk/junk_scan_types.h"
#include "modules/junk/quick_scan.h"

namespace {

using namespace purvex;
using bench::RemoveTree;
using bench::TimeMs;

std::uint64_t CountFiles(const std::wstring& root) {
    bench::TreeCounts counts;
    bench::FindRecursive(root, counts);
    return counts.files;
}

constexpr unsigned kUsers = 10;
constexpr unsigned kFoldersPerUser = 100;
constexpr unsigned kFilesPerFolder = 100;
constexpr std::uint64_t kFiles = std::uint64_t{kUsers} * kFoldersPerUser * kFilesPerFolder;
constexpr int kRounds = 3;

std::wstring UserTemp(const std::wstring& root, unsigned user) {
    return root + L"\\Users\\user" + std::to_wstring(user) + L"\\AppData\\Local\\Temp";
}

bool MakeTree(const std::wstring& root) {
    std::atomic<bool> ok{true};
    core::CancelToken never;
    core::TaskRunner::Instance().ParallelFor(
        std::uint64_t{kUsers} * kFoldersPerUser,
        [&](std::uint64_t index) {
            const std::wstring folder =
                UserTemp(root, static_cast<unsigned>(index / kFoldersPerUser)) + L"\\f" +
                std::to_wstring(index % kFoldersPerUser);
            if (!ok || !core::CreateDirectoryTree(folder)) {
                ok = false;
                return;
            }
            for (unsigned f = 0; f < kFilesPerFolder; ++f) {
                const std::wstring file = folder + L"\\tmp" + std::to_wstring(f) + L".tmp";
                core::UniqueFile h(CreateFileW(core::ToLongPath(file).c_str(), GENERIC_WRITE, 0,
                                               nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                               nullptr));
                if (!h) {
                    ok = false;
                    return;
                }
                DWORD written = 0;
                WriteFile(h.Get(), "junk", 4, &written, nullptr);
            }
        },
        never);
    return ok;
}

void RemoveTreeInParallel(const std::wstring& root) {
    core::CancelToken never;
    core::TaskRunner::Instance().ParallelFor(
        kUsers,
        [&](std::uint64_t user) { RemoveTree(UserTemp(root, static_cast<unsigned>(user))); },
        never);
    RemoveTree(root);
}

std::uint64_t QuickScanOnce(const std::wstring& root) {
    junk::QuickScanOptions options;
    const std::wstring users = root + L"\\Users";
    options.resolver = [&](const std::wstring& name) {
        return _wcsicmp(name.c_str(), L"USERSROOT") == 0 ? users : std::wstring();
    };
    // Two days ahead, so that every freshly written file passes the temp files' age rule.
    options.now = core::SystemFileTimeNow() + 48ull * 36'000'000'000ull;
    options.queryRecycleBin = [](std::uint64_t&, std::uint64_t&) { return false; };
    core::CancelToken cancel;
    std::uint64_t items = 0;
    for (const junk::JunkGroup& group : junk::RunQuickScan(options, cancel, {})) {
        items += group.items.size();
    }
    return items;
}

}  // namespace

int main() {
    const std::wstring root = L"C:\\purvex-bench\\quick-" + std::to_wstring(GetCurrentProcessId());
    std::printf("quick_scan_bench: %u workers; making %llu files in %u user temp folders...\n",
                core::TaskRunner::Instance().WorkerCount(), static_cast<unsigned long long>(kFiles),
                kUsers);
    std::fflush(stdout);
    RemoveTreeInParallel(root);
    const double makeMs = TimeMs([&] {
        if (!MakeTree(root)) {
            std::printf("could not make the tree\n");
        }
    });
    std::printf("tree made in %.0f ms\n", makeMs);

    CountFiles(root);  // brings the tree into the caches for both contenders

    double baselineMs = 1e300;
    double scanMs = 1e300;
    std::uint64_t baseline = 0;
    std::uint64_t scanned = 0;
    for (int round = 0; round < kRounds; ++round) {
        baselineMs = std::min(baselineMs, TimeMs([&] { baseline = CountFiles(root); }));
        scanMs = std::min(scanMs, TimeMs([&] { scanned = QuickScanOnce(root); }));
    }

    int status = 0;
    if (baseline != kFiles || scanned != kFiles) {
        std::printf("MISMATCH: baseline %llu, quick scan %llu, expected %llu\n",
                    static_cast<unsigned long long>(baseline),
                    static_cast<unsigned long long>(scanned),
                    static_cast<unsigned long long>(kFiles));
        status = 1;
    }
    std::printf("best of %d rounds over %llu qualifying files:\n", kRounds,
                static_cast<unsigned long long>(kFiles));
    std::printf("  baseline  FindFirstFileExW recursion, 1 thread  %9.1f ms  %10.0f files/s\n",
                baselineMs, baseline / (baselineMs / 1000.0));
    std::printf("  quick scan, built-in catalog                     %9.1f ms  %10.0f files/s\n",
                scanMs, scanned / (scanMs / 1000.0));
    std::printf("  ratio baseline / quick scan: %.2fx\n", baselineMs / scanMs);

    RemoveTreeInParallel(root);
    RemoveDirectoryW(L"\\\\?\\C:\\purvex-bench");
    core::TaskRunner::Instance().Shutdown();
    return status;
}
