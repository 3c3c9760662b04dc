#include "modules/junk/quick_scan.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "core/fs/locations.h"
#include "core/fs/paths.h"
#include "core/safety/safety_policy.h"
#include "core/system_time.h"
#include "core/task_runner.h"
#include "modules/junk/group_order.h"
#include "modules/junk/junk_catalog.h"
#include "modules/junk/junk_rules.h"

namespace purvex::junk {
namespace {

constexpr std::uint32_t kDirectoryOrReparse =
    FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
constexpr std::uint64_t kProgressEvery = 256;

// One resolved folder of one location: the unit of parallel work.
struct WalkJob {
    std::size_t category = 0;
    std::uint32_t root = 0;
    std::wstring folder;
    const JunkLocation* location = nullptr;
    const FilePatterns* patterns = nullptr;
    std::vector<core::FileEntry> found;
};

// Shared by every job of one scan; only atomics and the throttle's own slot are written.
struct ScanCounters {
    std::atomic<std::uint64_t> items{0};
    std::atomic<std::uint64_t> bytes{0};
    std::atomic<std::uint64_t> finishedJobs{0};
};

std::wstring_view NameOf(std::wstring_view path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

void RunJob(WalkJob& job, const JunkCategory& category, std::uint32_t requiredAge,
            std::uint64_t now, std::size_t jobCount, ScanCounters& counters,
            core::ProgressThrottle& throttle, const core::CancelToken& cancel) {
    core::WalkOptions walk;
    walk.recursive = job.location->recursive;
    walk.parallel = false;
    walk.reportDirectories = false;
    walk.maxDepth = job.location->recursive ? 0xFFFFFFFFu : 0u;
    const std::vector<std::wstring> allowedRoots{job.folder};
    const core::SafetyPolicy& policy = core::SafetyPolicy::Instance();
    std::uint64_t seen = 0;

    const auto onEntry = [&](const core::FileEntry& entry) {
        if (cancel.IsCancelled()) {
            return false;
        }
        if (++seen % kProgressEvery == 0) {
            core::Progress p;
            p.fraction =
                static_cast<double>(counters.finishedJobs.load()) / static_cast<double>(jobCount);
            p.current = entry.path;
            p.bytes = counters.bytes.load();
            p.items = counters.items.load();
            throttle.Report(p);
        }
        if ((entry.attributes & kDirectoryOrReparse) != 0) {
            return true;
        }
        const std::wstring_view name = NameOf(entry.path);
        if (!job.patterns->Matches(name) || IsSkippedName(category, name) ||
            !IsOldEnough(requiredAge, entry.lastWriteTime, now)) {
            return true;
        }
        if (policy.Check(entry.path, allowedRoots, false).verdict != core::SafetyVerdict::Allow) {
            return true;
        }
        job.found.push_back(entry);
        counters.items.fetch_add(1);
        counters.bytes.fetch_add(entry.size);
        return true;
    };
    core::Walk(job.folder, walk, onEntry, cancel);

    const std::uint64_t finished = counters.finishedJobs.fetch_add(1) + 1;
    core::Progress p;
    p.fraction = static_cast<double>(finished) / static_cast<double>(jobCount);
    p.current = job.folder;
    p.bytes = counters.bytes.load();
    p.items = counters.items.load();
    throttle.Report(p);
}

// Only jobs whose folders coincide or nest can find the same file; the files of every other
// job are kept without the cost of folding and hashing each path.
std::vector<bool> OverlappingJobs(const std::vector<WalkJob>& jobs) {
    std::vector<bool> overlapping(jobs.size(), false);
    for (std::size_t a = 0; a < jobs.size(); ++a) {
        for (std::size_t b = a + 1; b < jobs.size(); ++b) {
            const std::wstring& x = jobs[a].folder;
            const std::wstring& y = jobs[b].folder;
            if (core::PathEquals(x, y) || core::IsUnder(x, y) || core::IsUnder(y, x)) {
                overlapping[a] = true;
                overlapping[b] = true;
            }
        }
    }
    return overlapping;
}

}  // namespace

bool QueryShellRecycleBin(std::uint64_t& size, std::uint64_t& count) {
    SHQUERYRBINFO info{};
    info.cbSize = sizeof(info);
    if (FAILED(SHQueryRecycleBinW(nullptr, &info))) {
        return false;
    }
    size = static_cast<std::uint64_t>(info.i64Size);
    count = static_cast<std::uint64_t>(info.i64NumItems);
    return true;
}

std::vector<JunkGroup> RunQuickScan(const QuickScanOptions& options,
                                    const core::CancelToken& cancel,
                                    const core::ProgressCallback& progress) {
    const std::vector<JunkCategory>& catalog =
        options.catalog != nullptr ? *options.catalog : BuiltinJunkCatalog();
    const std::uint64_t now = options.now != 0 ? options.now : core::SystemFileTimeNow();

    std::vector<JunkGroup> groups(catalog.size());
    std::vector<FilePatterns> patterns;
    for (const JunkCategory& category : catalog) {
        for (const JunkLocation& location : category.locations) {
            patterns.emplace_back(location.patterns);
        }
    }

    std::vector<WalkJob> jobs;
    std::size_t patternIndex = 0;
    for (std::size_t c = 0; c < catalog.size(); ++c) {
        const JunkCategory& category = catalog[c];
        JunkGroup& group = groups[c];
        group.id = category.id;
        group.nameKey = category.nameKey;
        group.descKey = category.descKey;
        group.risk = category.risk;
        group.defaultSelected = category.defaultSelected;
        if (category.isRecycleBin) {
            group.isRecycleBin = true;
            patternIndex += category.locations.size();
            continue;
        }
        std::unordered_map<std::wstring, std::uint32_t> rootIndex;
        // "%TEMP%" and the profile list usually reach the same folder; walking it twice with
        // the same rules would find nothing new and only inflate the running totals.
        std::unordered_set<std::wstring> queued;
        for (const JunkLocation& location : category.locations) {
            const FilePatterns* locationPatterns = &patterns[patternIndex++];
            for (std::wstring& folder :
                 core::ExpandLocations(location.pathTemplate, options.resolver)) {
                const auto [it, added] = rootIndex.try_emplace(
                    core::FoldCase(folder), static_cast<std::uint32_t>(group.roots.size()));
                if (added) {
                    group.roots.push_back(folder);
                    if (options.coveredRoots != nullptr) {
                        options.coveredRoots->push_back(folder);
                    }
                }
                const std::wstring jobKey = core::FoldCase(folder) + L'|' + location.patterns +
                                            (location.recursive ? L"|r" : L"|f");
                if (!queued.insert(jobKey).second) {
                    continue;
                }
                WalkJob job;
                job.category = c;
                job.root = it->second;
                job.folder = std::move(folder);
                job.location = &location;
                job.patterns = locationPatterns;
                jobs.push_back(std::move(job));
            }
        }
    }

    core::ProgressThrottle throttle(progress);
    ScanCounters counters;
    if (!jobs.empty()) {
        core::TaskRunner::Instance().ParallelFor(
            jobs.size(),
            [&](std::uint64_t i) {
                WalkJob& job = jobs[i];
                const JunkCategory& category = catalog[job.category];
                RunJob(job, category, RequiredAgeHours(category, options.tempMinAgeHours), now,
                       jobs.size(), counters, throttle, cancel);
            },
            cancel);
    }

    const std::vector<bool> overlapping = OverlappingJobs(jobs);
    std::unordered_set<std::wstring> taken;
    for (std::size_t j = 0; j < jobs.size(); ++j) {
        WalkJob& job = jobs[j];
        JunkGroup& group = groups[job.category];
        for (core::FileEntry& entry : job.found) {
            if (overlapping[j] && !taken.insert(core::FoldCase(entry.path)).second) {
                continue;
            }
            group.items.push_back(std::move(entry));
            group.itemRoots.push_back(job.root);
        }
        job.found.clear();
    }

    std::uint64_t binSize = 0;
    std::uint64_t binCount = 0;
    bool binKnown = false;
    if (!cancel.IsCancelled()) {
        binKnown = options.queryRecycleBin ? options.queryRecycleBin(binSize, binCount)
                                           : QueryShellRecycleBin(binSize, binCount);
    }

    std::vector<JunkGroup> result;
    std::uint64_t keptItems = 0;
    std::uint64_t keptBytes = 0;
    for (JunkGroup& group : groups) {
        if (group.isRecycleBin) {
            if (binKnown && (binSize != 0 || binCount != 0)) {
                group.totalBytes = binSize;
                group.recycleCount = binCount;
                result.push_back(std::move(group));
            }
            continue;
        }
        if (group.items.empty()) {
            continue;
        }
        SortGroupItems(group);
        keptItems += group.items.size();
        keptBytes += group.totalBytes;
        result.push_back(std::move(group));
    }

    if (progress) {
        core::Progress done;
        done.fraction = 1.0;
        // What the result holds: a file that two categories found counts once.
        done.bytes = keptBytes;
        done.items = keptItems;
        throttle.Report(done, true);
    }
    return result;
}

}  // namespace purvex::junk
