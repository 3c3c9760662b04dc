#pragma once

#include <cstdint>
#include <vector>

#include "core/delete_types.h"
#include "modules/junk/junk_scan_types.h"

namespace purvex::junk {

// Exactly the files a clean may touch, each with what the scan saw of it, so the deleter can
// refuse anything that changed since. Built once and shared read-only.
struct CleanPlan {
    std::vector<core::DeleteRequest> requests;  // result order: group by group, item by item
    bool emptyRecycleBin = false;
    std::uint64_t recycleBinBytes = 0;  // the Recycle Bin's scanned size
};

// The user's ticks for one group of a result: the group's own box (what counts for the
// Recycle Bin) and one per item, parallel to the group's items; missing entries are unticked.
struct GroupSelection {
    bool group = false;
    std::vector<bool> items;
};

// Parallel to the result's groups.
using JunkSelection = std::vector<GroupSelection>;

// The one-click plan: every file of the groups that are safe to clean without asking; never
// the Recycle Bin.
CleanPlan BuildSafePlan(const ScanResult& result);

// The page's plan: the ticked files of every group that is not locked, and the Recycle Bin
// when its group is ticked.
CleanPlan BuildSelectionPlan(const ScanResult& result, const JunkSelection& selection);

// A result older than 60 minutes must be scanned again before anything of it is cleaned.
inline constexpr std::uint64_t kStaleAfterNs = 3'600'000'000'000ull;
bool IsStale(const ScanResult& result);
bool IsStale(const ScanResult& result, std::uint64_t monotonicNowNs);

}  // namespace purvex::junk
