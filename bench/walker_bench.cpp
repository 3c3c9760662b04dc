// Walks a generated tree of 200,000 files in 20,100 folders with the folder walker, in parallel
// and sequentially, and compares both with a plain single-threaded FindFirstFileExW recursion
// over the same tree in the same run. The tree is made under C:\purvex-bench and removed after.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "bench_tree.h"
#include "core/cancel_token.h"
#include "core/fs/directory.h"
#include "core/fs/path_text.h"
#include "core/fs/walker.h"
#include "core/task_runner.h"
#include "core/unique_handle.h"

namespace {

using namespace purvex;

constexpr unsigned kTopFolders = 100;
constexpr unsigned kLeavesPerTop = 200;
constexpr unsigned kFilesPerLeaf = 10;
constexpr int kRounds = 3;

using bench::FindRecursive;
using bench::RemoveTree;
using bench::TimeMs;
using Counts = bench::TreeCounts;

std::wstring Leaf(const std::wstring& root, unsigned top, unsigned leaf) {
    return root + L"\\t" + std::to_wstring(top) + L"\\leaf" + std::to_wstring(leaf);
}

bool MakeTree(const std::wstring& root) {
    std::atomic<bool> ok{true};
    core::CancelToken never;
    core::TaskRunner::Instance().ParallelFor(
        kTopFolders,
        [&](std::uint64_t top) {
            for (unsigned leaf = 0; leaf < kLeavesPerTop && ok; ++leaf) {
                const std::wstring folder = Leaf(root, static_cast<unsigned>(top), leaf);
                if (!core::CreateDirectoryTree(folder)) {
                    ok = false;
                    return;
                }
                for (unsigned f = 0; f < kFilesPerLeaf; ++f) {
                    const std::wstring file = folder + L"\\file" + std::to_wstring(f) + L".dat";
                    core::UniqueFile h(CreateFileW(core::ToLongPath(file).c_str(), GENERIC_WRITE, 0,
                                                   nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                                   nullptr));
                    if (!h) {
                        ok = false;
                        return;
                    }
                }
            }
        },
        never);
    return ok;
}

void RemoveTreeInParallel(const std::wstring& root) {
    core::CancelToken never;
    core::TaskRunner::Instance().ParallelFor(
        kTopFolders, [&](std::uint64_t top) { RemoveTree(root + L"\\t" + std::to_wstring(top)); },
        never);
    RemoveTree(root);
}

Counts WalkOnce(const std::wstring& root, bool parallel) {
    core::WalkOptions options;
    options.parallel = parallel;
    core::CancelToken token;
    const core::WalkStats stats = core::Walk(
        root, options, [](const core::FileEntry&) { return true; }, token);
    return Counts{stats.files, stats.dirs};
}

}  // namespace

int main() {
    const std::wstring root = L"C:\\purvex-bench\\walker-" + std::to_wstring(GetCurrentProcessId());
    std::printf("walker_bench: %u workers; making %u files in %u folders...\n",
                core::TaskRunner::Instance().WorkerCount(),
                kTopFolders * kLeavesPerTop * kFilesPerLeaf, kTopFolders * (kLeavesPerTop + 1));
    std::fflush(stdout);
    RemoveTreeInParallel(root);
    const double makeMs = TimeMs([&] {
        if (!MakeTree(root)) {
            std::printf("could not make the tree\n");
        }
    });
    std::printf("tree made in %.0f ms\n", makeMs);

    Counts warm;
    FindRecursive(root, warm);  // brings the tree into the caches for every contender

    double baselineMs = 1e300;
    double sequentialMs = 1e300;
    double parallelMs = 1e300;
    Counts baseline;
    Counts sequential;
    Counts parallel;
    for (int round = 0; round < kRounds; ++round) {
        baselineMs = std::min(baselineMs, TimeMs([&] {
                                  baseline = {};
                                  FindRecursive(root, baseline);
                              }));
        parallelMs = std::min(parallelMs, TimeMs([&] { parallel = WalkOnce(root, true); }));
        sequentialMs = std::min(sequentialMs, TimeMs([&] { sequential = WalkOnce(root, false); }));
    }

    int status = 0;
    if (baseline.files != parallel.files || baseline.dirs != parallel.dirs ||
        baseline.files != sequential.files || baseline.dirs != sequential.dirs ||
        baseline.files != std::uint64_t{kTopFolders} * kLeavesPerTop * kFilesPerLeaf) {
        std::printf("MISMATCH: baseline %llu/%llu, sequential %llu/%llu, parallel %llu/%llu\n",
                    static_cast<unsigned long long>(baseline.files),
                    static_cast<unsigned long long>(baseline.dirs),
                    static_cast<unsigned long long>(sequential.files),
                    static_cast<unsigned long long>(sequential.dirs),
                    static_cast<unsigned long long>(parallel.files),
                    static_cast<unsigned long long>(parallel.dirs));
        status = 1;
    }
    std::printf("best of %d rounds over %llu files in %llu folders:\n", kRounds,
                static_cast<unsigned long long>(baseline.files),
                static_cast<unsigned long long>(baseline.dirs));
    std::printf("  baseline  FindFirstFileExW recursion, 1 thread  %9.1f ms  %10.0f files/s\n",
                baselineMs, baseline.files / (baselineMs / 1000.0));
    std::printf("  walker    sequential                            %9.1f ms  %10.0f files/s\n",
                sequentialMs, sequential.files / (sequentialMs / 1000.0));
    std::printf("  walker    parallel                              %9.1f ms  %10.0f files/s\n",
                parallelMs, parallel.files / (parallelMs / 1000.0));
    std::printf("  ratio baseline / parallel walker: %.2fx (sequential walker: %.2fx)\n",
                baselineMs / parallelMs, baselineMs / sequentialMs);

    RemoveTreeInParallel(root);
    RemoveDirectoryW(L"\\\\?\\C:\\purvex-bench");
    core::TaskRunner::Instance().Shutdown();
    return status;
}
