// The walking pass of the large-file scanner, for drives without a usable file table index
// and for roots below a drive's root.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <optional>
#include <set>
#include <utility>

#include "core/fs/path_text.h"
#include "core/fs/walker.h"
#include "core/log.h"
#include "core/safety/file_identity.h"
#include "modules/bigfiles/big_file_scanner.h"
#include "modules/bigfiles/finish_scan.h"
#include "modules/bigfiles/scan_filter.h"
#include "modules/bigfiles/top_files.h"

namespace purvex::bigfiles {
namespace {

constexpr std::uint64_t kReportEvery = 512;

// Total minus free bytes of the root's volume: the denominator of the walk's progress. 0 when
// the volume cannot say.
std::uint64_t UsedBytes(const std::wstring& root) {
    std::wstring folder = core::ToLongPath(root);
    if (folder.back() != L'\\') {
        folder += L'\\';
    }
    ULARGE_INTEGER freeToCaller{}, total{}, totalFree{};
    if (!GetDiskFreeSpaceExW(folder.c_str(), &freeToCaller, &total, &totalFree) ||
        totalFree.QuadPart > total.QuadPart) {
        return 0;
    }
    return total.QuadPart - totalFree.QuadPart;
}

// The identity that merges hard links: one file, however many names it has. Empty when the
// file cannot be opened or read.
std::optional<core::safety_detail::FileIdentity> ReadLinkIdentity(const std::wstring& path) {
    const core::UniqueFile file =
        core::safety_detail::OpenItem(path, FILE_READ_ATTRIBUTES, /*backupSemantics=*/true);
    core::safety_detail::FileIdentity identity;
    if (!file || !core::safety_detail::ReadIdentity(file.Get(), identity)) {
        return std::nullopt;
    }
    return identity;
}

ScanResult ScanWalkUnguarded(const ScanOptions& options, core::CancelToken& cancel,
                             const core::ProgressCallback& progress) {
    const std::wstring root = NormalizeScanRoot(options.root);
    if (root.empty()) {
        // The walker would take an empty root for the current folder.
        core::LogWrite(core::LogLevel::Warn, L"bigfiles: the scan root is not a usable path");
        return EmptyScanResult(root, options.minSize, false);
    }
    const std::uint64_t usedBytes = UsedBytes(root);
    core::ProgressThrottle throttle(progress);
    std::atomic<std::uint64_t> checked{0};
    std::atomic<std::uint64_t> bytesSeen{0};
    std::mutex mutex;  // guards top and seenIds
    TopFiles top(options.topCount, options.minSize);
    std::set<std::pair<std::uint32_t, std::uint64_t>> seenIds;
    std::atomic<bool> failed{false};

    const auto visit = [&](const core::FileEntry& entry) {
        if (!IsCountedFile(entry.attributes) || entry.path.empty()) {
            return true;
        }
        const std::uint64_t files = checked.fetch_add(1) + 1;
        const std::uint64_t bytes = bytesSeen.fetch_add(entry.size) + entry.size;
        if (files % kReportEvery == 0) {
            core::Progress p;
            p.fraction =
                usedBytes == 0
                    ? -1.0
                    : std::min(0.99, static_cast<double>(bytes) / static_cast<double>(usedBytes));
            p.current = entry.path;
            p.bytes = bytes;
            p.items = files;
            throttle.Report(p);
        }
        if (entry.size < options.minSize) {
            return true;
        }
        const auto identity = ReadLinkIdentity(entry.path);
        core::FileEntry kept = entry;
        if (identity) {
            kept.fileId = identity->fileId;
        }
        const std::lock_guard lock(mutex);
        // A file whose id cannot be read is kept as it is: better listed twice than lost.
        if (!identity || identity->linkCount < 2 ||
            seenIds.emplace(identity->volumeSerial, identity->fileId).second) {
            top.Add(kept);
        }
        return true;
    };
    // The walker would end the walk on an exception too, but the result would then read as
    // complete.
    const auto onEntry = [&](const core::FileEntry& entry) {
        try {
            return visit(entry);
        } catch (...) {
            failed = true;
            return false;
        }
    };

    core::WalkOptions walk;
    walk.recursive = true;
    walk.parallel = true;
    walk.reportDirectories = false;
    walk.maxDepth = 0xFFFFFFFF;
    core::Walk(root, walk, onEntry, cancel);
    if (failed) {
        core::LogWrite(core::LogLevel::Error, L"bigfiles: ScanWalk failed with an exception");
    }
    return FinishScan(top, root, checked.load(), false, cancel.IsCancelled() || failed);
}

}  // namespace

ScanResult BigFileScanner::ScanWalk(const ScanOptions& options, core::CancelToken& cancel,
                                    const core::ProgressCallback& progress) {
    try {
        return ScanWalkUnguarded(options, cancel, progress);
    } catch (...) {
        core::LogWrite(core::LogLevel::Error, L"bigfiles: ScanWalk failed with an exception");
        return EmptyScanResult(NormalizeScanRoot(options.root), options.minSize, true);
    }
}

}  // namespace purvex::bigfiles
