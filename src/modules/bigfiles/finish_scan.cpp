#include "modules/bigfiles/finish_scan.h"

#include <vector>

#include "core/safety/safety_policy.h"
#include "core/system_time.h"
#include "modules/bigfiles/classify_big_file.h"

namespace purvex::bigfiles {
ScanResult FinishScan(TopFiles& top, const std::wstring& root, std::uint64_t filesChecked,
                      bool usedIndex, bool stopped) {
    ScanResult result;
    result.items = top.TakeSorted();
    result.root = root;
    result.minSize = top.MinSize();
    result.matchCount = top.Count();
    result.matchBytes = top.Total();
    result.filesChecked = filesChecked;
    result.usedIndex = usedIndex;
    result.stopped = stopped;

    const core::SafetyPolicy& policy = core::SafetyPolicy::Instance();
    const std::vector<std::wstring> allowedRoots{root};
    for (BigFileItem& item : result.items) {
        const BigFileClass c = ClassifyBigFile(item.path);
        item.tag = c.tag;
        item.secondaryTag = c.secondaryTag;
        item.level = c.level;
        item.risk = c.risk;
        item.slimLink = c.slimLink;
        // Offering what the deleter would refuse would only end in a failed cleanup.
        if (item.risk != core::Risk::Locked &&
            policy.Check(item.path, allowedRoots, false).verdict != core::SafetyVerdict::Allow) {
            item.risk = core::Risk::Locked;
        }
    }
    result.scannedAt = core::SystemFileTimeNow();
    return result;
}

ScanResult EmptyScanResult(const std::wstring& root, std::uint64_t minSize, bool stopped) {
    TopFiles none(0, minSize);
    return FinishScan(none, root, 0, false, stopped);
}

}  // namespace purvex::bigfiles
