#include "modules/junk/prune_scan_result.h"

#include <string>
#include <unordered_set>

#include "core/fs/paths.h"
#include "modules/junk/execute_plan.h"

namespace purvex::junk {
namespace {

// What is gone after the clean: deleted or recycled now, gone at the next restart, or already
// gone before the deleter came.
bool LeftTheList(core::DeleteOutcome outcome) {
    return outcome == core::DeleteOutcome::Deleted || outcome == core::DeleteOutcome::Recycled ||
           outcome == core::DeleteOutcome::ScheduledOnReboot ||
           outcome == core::DeleteOutcome::NotFound;
}

}  // namespace

std::shared_ptr<const ScanResult> PruneScanResult(const ScanResult& before,
                                                  const core::DeleteReport& report) {
    bool binEmptied = false;
    std::unordered_set<std::wstring> removed;
    for (const core::DeleteItemResult& item : report.items) {
        if (!LeftTheList(item.outcome)) {
            continue;
        }
        if (item.path == kRecycleBinReportPath) {
            binEmptied = true;
        } else {
            removed.insert(core::FoldCase(item.path));
        }
    }

    auto after = std::make_shared<ScanResult>();
    after->kind = before.kind;
    after->scannedAt = before.scannedAt;
    after->finishedAt = before.finishedAt;
    after->engine = before.engine;
    after->notice = before.notice;
    for (const JunkGroup& group : before.groups) {
        if (group.isRecycleBin) {
            if (!binEmptied) {
                after->groups.push_back(group);
            }
            continue;
        }
        JunkGroup kept = group;
        kept.items.clear();
        kept.itemRoots.clear();
        kept.totalBytes = 0;
        for (std::size_t i = 0; i < group.items.size(); ++i) {
            const core::FileEntry& item = group.items[i];
            if (removed.count(core::FoldCase(item.path)) != 0) {
                continue;
            }
            kept.items.push_back(item);
            kept.itemRoots.push_back(i < group.itemRoots.size() ? group.itemRoots[i] : 0);
            kept.totalBytes += item.size;
        }
        if (!kept.items.empty()) {
            after->groups.push_back(std::move(kept));
        }
    }
    return after;
}

}  // namespace purvex::junk
