// The index pass of the large-file scanner: every record of a built file table index, no file
// opened.
#include <algorithm>
#include <unordered_set>

#include "core/fs/paths.h"
#include "core/log.h"
#include "modules/bigfiles/big_file_scanner.h"
#include "modules/bigfiles/finish_scan.h"
#include "modules/bigfiles/scan_filter.h"
#include "modules/bigfiles/top_files.h"

namespace purvex::bigfiles {
namespace {

constexpr std::uint64_t kCheckEvery = 1000;
constexpr std::uint64_t kRecordMask = 0x0000FFFFFFFFFFFFull;

ScanResult ScanIndexUnguarded(const core::PathIndex& index, const ScanOptions& options,
                              core::CancelToken& cancel, const core::ProgressCallback& progress) {
    const std::wstring root = NormalizeScanRoot(options.root);
    TopFiles top(options.topCount, options.minSize);
    core::ProgressThrottle throttle(progress);
    const double denominator = static_cast<double>(std::max<std::uint64_t>(index.EntryCount(), 1));
    std::unordered_set<std::uint64_t> seenRecords;
    std::uint64_t seen = 0;
    std::uint64_t checked = 0;
    bool stopped = false;

    index.ForEach([&](const core::IndexEntry& e) {
        if (++seen % kCheckEvery == 0) {
            if (cancel.IsCancelled()) {
                stopped = true;
                return false;
            }
            core::Progress p;
            p.fraction = static_cast<double>(seen) / denominator;
            p.items = checked;
            throttle.Report(p);
        }
        if (!IsCountedFile(e.attributes)) {
            return true;
        }
        ++checked;
        // The index holds each record once, whatever number of names it has; the set keeps
        // a hard-linked file counted once even so.
        if (e.size < options.minSize || !seenRecords.insert(e.frn & kRecordMask).second) {
            return true;
        }
        core::FileEntry entry;
        entry.path = index.FullPath(e.frn);
        if (entry.path.empty() || !core::IsUnder(entry.path, root)) {
            return true;
        }
        entry.size = e.size;
        // The file id Windows reports for an NTFS file is its record reference, sequence
        // included: the deleter compares it with what it opens.
        entry.fileId = e.frn;
        entry.lastWriteTime = e.lastWriteTime;
        entry.attributes = e.attributes;
        top.Add(entry);
        return true;
    });
    if (cancel.IsCancelled()) {
        stopped = true;
    }
    return FinishScan(top, root, checked, true, stopped);
}

}  // namespace

ScanResult BigFileScanner::ScanIndex(const core::PathIndex& index, const ScanOptions& options,
                                     core::CancelToken& cancel,
                                     const core::ProgressCallback& progress) {
    try {
        return ScanIndexUnguarded(index, options, cancel, progress);
    } catch (...) {
        core::LogWrite(core::LogLevel::Error, L"bigfiles: ScanIndex failed with an exception");
        // Nothing found must not read as a finished scan of an empty drive.
        return EmptyScanResult(NormalizeScanRoot(options.root), options.minSize, true);
    }
}

}  // namespace purvex::bigfiles
