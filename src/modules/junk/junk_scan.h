#pragma once

#include <functional>
#include <memory>

#include "core/cancel_token.h"
#include "core/progress.h"
#include "modules/junk/deep_scan_types.h"
#include "modules/junk/junk_scan_types.h"

namespace purvex::junk {

// Adjusts the deep stage's options after the scan has chosen them from the machine and the
// settings (tests and the demo point the walk at a made-up tree or hand it an index).
using DeepOptionsHook = std::function<void(DeepScanOptions&)>;

// What a scan runs with besides the settings: the quick stage's options (made-up
// environments, catalogs and Recycle Bin queries in tests and the demo) and the deep stage's.
struct JunkScanSetup {
    QuickScanOptions quick;  // tempMinAgeHours and coveredRoots are set by the scan itself
    DeepOptionsHook deep;    // empty: the deep stage runs as chosen
};

// Runs a quick or deep junk scan with the current settings, stamps the result and logs its
// summary. A deep scan searches the system drive after the quick stage, through its file
// table when it can, else by walking, and offers nothing twice. Empty after a cancel. Blocks;
// call it on a worker.
std::shared_ptr<const ScanResult> RunJunkScan(ScanKind kind, core::CancelToken& cancel,
                                              const core::ProgressCallback& progress);
std::shared_ptr<const ScanResult> RunJunkScan(ScanKind kind, const JunkScanSetup& setup,
                                              core::CancelToken& cancel,
                                              const core::ProgressCallback& progress);

}  // namespace purvex::junk
