#pragma once

#include <memory>

#include "core/delete_types.h"
#include "modules/junk/junk_scan_types.h"

namespace purvex::junk {

// A copy of `before` without what the report removed: removed files leave their groups,
// emptied groups go, and an emptied Recycle Bin takes its group along. The scan's times stay,
// so cleaning never makes an old result look fresh.
std::shared_ptr<const ScanResult> PruneScanResult(const ScanResult& before,
                                                  const core::DeleteReport& report);

}  // namespace purvex::junk
