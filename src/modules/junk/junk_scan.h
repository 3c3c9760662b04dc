#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/cancel_token.h"
#include "core/progress.h"
#include "modules/junk/junk_scan_types.h"

namespace purvex::junk {

// The drive-wide second stage of a deep scan. It receives every folder the quick stage
// resolved and the result holding the quick groups, appends its own groups, sets the engine
// and notice, and returns false when it was cancelled.
using DeepScanStage =
    std::function<bool(const std::vector<std::wstring>& coveredRoots, ScanResult& result,
                       const core::CancelToken& cancel, const core::ProgressCallback& progress)>;

// What a scan runs with besides the settings: the quick stage's options (made-up
// environments, catalogs and Recycle Bin queries in tests and the demo) and the deep stage.
struct JunkScanSetup {
    QuickScanOptions quick;  // tempMinAgeHours and coveredRoots are set by the scan itself
    DeepScanStage deep;
};

// Runs a quick or deep junk scan with the current settings, stamps the result and logs its
// summary. Empty after a cancel, and for a deep scan without a deep stage. Blocks; call it on
// a worker.
std::shared_ptr<const ScanResult> RunJunkScan(ScanKind kind, const core::CancelToken& cancel,
                                              const core::ProgressCallback& progress);
std::shared_ptr<const ScanResult> RunJunkScan(ScanKind kind, const JunkScanSetup& setup,
                                              const core::CancelToken& cancel,
                                              const core::ProgressCallback& progress);

}  // namespace purvex::junk
