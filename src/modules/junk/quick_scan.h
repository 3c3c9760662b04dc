#pragma once

#include <vector>

#include "core/cancel_token.h"
#include "core/progress.h"
#include "modules/junk/junk_scan_types.h"

namespace purvex::junk {

// Walks every location of the catalog in parallel jobs and returns one group per category
// that found something, in catalog order, plus the Recycle Bin as the shell sizes it. A file
// two categories would take belongs to the earlier one. After a cancel it returns what was
// found so far, without the Recycle Bin. Blocks; call it on a worker.
std::vector<JunkGroup> RunQuickScan(const QuickScanOptions& options,
                                    const core::CancelToken& cancel,
                                    const core::ProgressCallback& progress);

// The shell's size and item count of the Recycle Bins of all drives.
bool QueryShellRecycleBin(std::uint64_t& size, std::uint64_t& count);

}  // namespace purvex::junk
