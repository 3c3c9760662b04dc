#pragma once

#include <cstdint>
#include <functional>

#include "core/cancel_token.h"
#include "core/delete_types.h"
#include "core/progress.h"
#include "modules/junk/clean_plan.h"
#include "modules/junk/junk_scan_types.h"

namespace purvex::junk {

// Empties the Recycle Bin and sets the bytes it freed; false when it could not.
using RecycleBinEmptier = std::function<bool(std::uint64_t* bytesFreed)>;

// The report entry that stands for the Recycle Bin.
inline constexpr wchar_t kRecycleBinReportPath[] = L"$Recycle.Bin";

// Runs a plan: the Recycle Bin first when the plan empties it (through `emptyRecycleBin`, or
// the shell when that is empty), then the deleter over the plan's files, each proved unchanged
// since the scan. Blocks; call it on a worker.
core::DeleteReport ExecutePlan(const CleanPlan& plan, core::DeleteMode mode,
                               core::CancelToken& cancel, const core::ProgressCallback& progress,
                               const RecycleBinEmptier& emptyRecycleBin);

}  // namespace purvex::junk
