#include "modules/junk/clean_plan.h"

#include "modules/junk/junk_rules.h"

namespace purvex::junk {
namespace {

// Files found outside any known root are never requested: the deleter could not confine
// them to the folder they were found in.
void AppendRequest(CleanPlan& plan, const JunkGroup& group, std::size_t index) {
    std::wstring root = ItemRoot(group, index);
    if (root.empty()) {
        return;
    }
    const core::FileEntry& item = group.items[index];
    core::DeleteRequest request;
    request.path = item.path;
    request.expectedSize = item.size;
    request.expectedFileId = item.fileId;
    request.expectedWriteTime = item.lastWriteTime;
    request.expectedAttributes = item.attributes;
    request.root = std::move(root);
    plan.requests.push_back(std::move(request));
}

}  // namespace

CleanPlan BuildSafePlan(const ScanResult& result) {
    CleanPlan plan;
    for (const JunkGroup& group : result.groups) {
        if (!IsOneClickSafe(group.isDeep, group.isRecycleBin, group.defaultSelected, group.risk)) {
            continue;
        }
        for (std::size_t i = 0; i < group.items.size(); ++i) {
            AppendRequest(plan, group, i);
        }
    }
    return plan;
}

CleanPlan BuildSelectionPlan(const ScanResult& result, const JunkSelection& selection) {
    CleanPlan plan;
    for (std::size_t g = 0; g < result.groups.size() && g < selection.size(); ++g) {
        const JunkGroup& group = result.groups[g];
        const GroupSelection& ticks = selection[g];
        if (group.risk == core::Risk::Locked) {
            continue;
        }
        if (group.isRecycleBin) {
            if (ticks.group) {
                plan.emptyRecycleBin = true;
                plan.recycleBinBytes = group.totalBytes;
            }
            continue;
        }
        for (std::size_t i = 0; i < group.items.size() && i < ticks.items.size(); ++i) {
            if (ticks.items[i]) {
                AppendRequest(plan, group, i);
            }
        }
    }
    return plan;
}

bool IsStale(const ScanResult& result) {
    return IsStale(result, MonotonicNanoseconds());
}

bool IsStale(const ScanResult& result, std::uint64_t monotonicNowNs) {
    // A clock reading before the scan finished cannot make a result old.
    return monotonicNowNs > result.finishedAt && monotonicNowNs - result.finishedAt > kStaleAfterNs;
}

}  // namespace purvex::junk
