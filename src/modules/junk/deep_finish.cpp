#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "core/fs/path_text.h"
#include "core/fs/paths.h"
#include "core/safety/file_identity.h"
#include "core/safety/safety_policy.h"
#include "core/task_runner.h"
#include "modules/junk/deep_paths.h"
#include "modules/junk/deep_scan.h"
#include "modules/junk/group_order.h"

namespace purvex::junk {
namespace {

constexpr std::uint64_t kScreenBlock = 512;

std::uint64_t ReadFileId(const std::wstring& path) {
    const core::UniqueFile file = core::safety_detail::OpenItem(path, FILE_READ_ATTRIBUTES, true);
    core::safety_detail::FileIdentity identity;
    if (!file || !core::safety_detail::ReadIdentity(file.Get(), identity)) {
        return 0;
    }
    return identity.fileId;
}

// One application area while its groups are built.
struct Building {
    JunkGroup group;
    bool safe = true;
    std::unordered_map<std::wstring, std::uint32_t> rootIndex;  // folded folder → index
};

}  // namespace

std::vector<JunkGroup> FinishDeepHits(std::vector<DeepHit> hits, const DeepFinishOptions& options,
                                      const core::CancelToken& cancel) {
    // Each block writes only its own keep flags and its own hits' file ids.
    std::vector<std::uint8_t> keep(hits.size(), 0);
    const core::SafetyPolicy& policy = core::SafetyPolicy::Instance();
    const std::uint64_t blocks = (hits.size() + kScreenBlock - 1) / kScreenBlock;
    core::TaskRunner::Instance().ParallelFor(
        blocks,
        [&](std::uint64_t block) {
            const std::size_t end = static_cast<std::size_t>(
                std::min<std::uint64_t>(hits.size(), (block + 1) * kScreenBlock));
            for (std::size_t i = static_cast<std::size_t>(block * kScreenBlock); i < end; ++i) {
                if (cancel.IsCancelled()) {
                    return;
                }
                DeepHit& hit = hits[i];
                if (options.excludedFiles != nullptr &&
                    options.excludedFiles->count(core::FoldCase(hit.file.path)) != 0) {
                    continue;
                }
                if (std::any_of(options.excludedRoots.begin(), options.excludedRoots.end(),
                                [&](const std::wstring& root) {
                                    return core::IsUnder(hit.file.path, root);
                                })) {
                    continue;
                }
                const std::vector<std::wstring> allowed{hit.folder};
                if (policy.Check(hit.file.path, allowed, false).verdict !=
                    core::SafetyVerdict::Allow) {
                    continue;
                }
                if (options.resolveFileIds && hit.file.fileId == 0) {
                    hit.file.fileId = ReadFileId(hit.file.path);
                }
                keep[i] = 1;
            }
        },
        cancel);

    std::vector<Building> building;
    std::unordered_map<std::string, std::size_t> groupIndex;
    std::unordered_set<std::wstring> takenPaths;
    std::unordered_set<std::uint64_t> takenIds;
    for (std::size_t i = 0; i < hits.size() && !cancel.IsCancelled(); ++i) {
        if (keep[i] == 0) {
            continue;
        }
        DeepHit& hit = hits[i];
        if (!takenPaths.insert(core::FoldCase(hit.file.path)).second) {
            continue;
        }
        // Hard links to one file are one item, whichever names the scan saw.
        if (hit.file.fileId != 0 && !takenIds.insert(hit.file.fileId).second) {
            continue;
        }
        DeepGroupKey key = DeepGroupKeyOf(hit.folder);
        std::string id = DeepGroupId(key.location);
        auto [at, added] = groupIndex.try_emplace(std::move(id), building.size());
        if (added) {
            Building b;
            b.group.id = at->first;
            b.group.nameKey = "junk.deep.group";
            b.group.descKey = "junk.deep.desc";
            b.group.isDeep = true;
            b.group.label = std::move(key.label);
            b.group.location = std::move(key.location);
            building.push_back(std::move(b));
        }
        Building& b = building[at->second];
        const auto [root, newRoot] = b.rootIndex.try_emplace(
            core::FoldCase(hit.folder), static_cast<std::uint32_t>(b.group.roots.size()));
        if (newRoot) {
            // Only the caches browsers and runtimes rebuild on their own, kept in an
            // application's data, are cleaned without asking.
            if (!IsWellKnownCacheName(core::FileNamePart(hit.folder)) || !IsInAppData(hit.folder)) {
                b.safe = false;
            }
            b.group.roots.push_back(hit.folder);
        }
        b.group.items.push_back(std::move(hit.file));
        b.group.itemRoots.push_back(root->second);
    }

    std::vector<JunkGroup> groups;
    groups.reserve(building.size());
    for (Building& b : building) {
        b.group.risk = b.safe ? core::Risk::Low : core::Risk::Medium;
        b.group.defaultSelected = b.safe;
        SortGroupItems(b.group);
        groups.push_back(std::move(b.group));
    }
    std::stable_sort(groups.begin(), groups.end(), [](const JunkGroup& a, const JunkGroup& b) {
        return a.totalBytes > b.totalBytes;
    });
    return groups;
}

}  // namespace purvex::junk
