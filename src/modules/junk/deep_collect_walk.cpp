#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "core/fs/walker.h"
#include "core/system_time.h"
#include "modules/junk/deep_paths.h"
#include "modules/junk/deep_scan.h"
#include "modules/junk/junk_rules.h"

namespace purvex::junk {
namespace {

constexpr std::uint64_t kCheckEvery = 1024;

}  // namespace

std::vector<DeepHit> CollectByWalk(const std::wstring& root, const DeepCollectOptions& options,
                                   const core::CancelToken& cancel,
                                   const core::ProgressCallback& progress) {
    const std::uint64_t now = options.now != 0 ? options.now : core::SystemFileTimeNow();
    // The search for a cache folder starts below the root.
    const std::size_t rootLength = core::WalkRootPath(root).size();
    core::ProgressThrottle throttle(progress);
    std::atomic<std::uint64_t> seen{0};
    std::atomic<std::uint64_t> items{0};
    std::atomic<std::uint64_t> bytes{0};
    std::mutex hitsMutex;
    std::vector<DeepHit> hits;

    core::WalkOptions walk;
    walk.recursive = true;
    walk.parallel = true;
    walk.reportDirectories = false;
    walk.maxDepth = 0xFFFFFFFF;
    const auto enterDir = [](const std::wstring& dir) {
        return !IsUserDataFolder(dir) && !IsShieldedFolder(dir);
    };
    const auto onEntry = [&](const core::FileEntry& entry) {
        if ((seen.fetch_add(1) + 1) % kCheckEvery == 0) {
            if (cancel.IsCancelled()) {
                return false;
            }
            core::Progress p;
            p.current = entry.path;
            p.items = items.load();
            p.bytes = bytes.load();
            throttle.Report(p);
        }
        if ((entry.attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
            return true;
        }
        const std::size_t end = FindCacheFolder(entry.path, false, rootLength);
        if (end == 0 || !IsOldEnough(options.minAgeHours, entry.lastWriteTime, now)) {
            return true;
        }
        DeepHit hit;
        hit.file = entry;
        hit.folder = entry.path.substr(0, end);
        items.fetch_add(1);
        bytes.fetch_add(entry.size);
        const std::lock_guard lock(hitsMutex);
        hits.push_back(std::move(hit));
        return true;
    };
    core::Walk(root, walk, onEntry, cancel, enterDir);
    return hits;
}

}  // namespace purvex::junk
