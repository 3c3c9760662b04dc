#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "core/cancel_token.h"
#include "core/fs/ntfs/path_index.h"
#include "core/progress.h"
#include "modules/bigfiles/scan_types.h"

namespace purvex::bigfiles {

// Where Scan obtains a drive's file table index; AcquirePathIndex's signature.
using IndexSource = std::function<std::shared_ptr<const core::PathIndex>(
    wchar_t drive, std::int64_t maxAgeSeconds, core::CancelToken& cancel,
    const core::ProgressCallback& progress, core::MftStatus* status)>;

// Finds the largest files below a root. Every operation blocks: call it on a worker. A
// cancelled scan returns what it found so far, sorted and classified, with `stopped` set.
class BigFileScanner {
public:
    BigFileScanner() = delete;

    // Reads the drive's file table index when the root is a whole NTFS drive and the process
    // is elevated (unless the options force a walk), and walks the folders otherwise or when
    // the index cannot be had. An empty indexSource means the process-wide index cache.
    static ScanResult Scan(const ScanOptions& options, core::CancelToken& cancel,
                           const core::ProgressCallback& progress,
                           const IndexSource& indexSource = {});

    // Over a built index; opens no file.
    static ScanResult ScanIndex(const core::PathIndex& index, const ScanOptions& options,
                                core::CancelToken& cancel, const core::ProgressCallback& progress);

    // Over the folders, never entering a reparse point; opens only the files large enough to
    // count, to merge hard links.
    static ScanResult ScanWalk(const ScanOptions& options, core::CancelToken& cancel,
                               const core::ProgressCallback& progress);
};

}  // namespace purvex::bigfiles
