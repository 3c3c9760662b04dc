#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/fs/path_text.h"
#include "core/fs/paths.h"
#include "core/system_time.h"
#include "modules/junk/deep_paths.h"
#include "modules/junk/deep_scan.h"
#include "modules/junk/junk_rules.h"

namespace purvex::junk {
namespace {

constexpr std::uint64_t kCheckEvery = 1024;
// Deeper than any path the index can spell.
constexpr int kMaxDepth = 16384;

bool IsPlainFolder(const core::IndexEntry& e) {
    return (e.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (e.attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

std::wstring_view NameOf(const core::IndexEntry& e) {
    return {e.name, static_cast<std::size_t>(e.nameLength)};
}

bool IsCandidate(const core::PathIndex& index, const core::IndexEntry& e) {
    if (!IsPlainFolder(e)) {
        return false;
    }
    // Only "CacheStorage" needs its parent's name; every other name decides alone.
    if (!core::EqualsIgnoreCase(NameOf(e), L"CacheStorage")) {
        return IsCacheFolderName(NameOf(e), {});
    }
    core::IndexEntry parent;
    return e.parentFrn != 0 && index.Get(e.parentFrn, parent) &&
           IsCacheFolderName(NameOf(e), NameOf(parent));
}

// Files below a reparse point live where it leads, or, below a cloud provider's synced folder,
// belong to the user; the walk never enters such a folder either.
bool IsBelowReparsePoint(const core::PathIndex& index, std::uint64_t frn) {
    constexpr std::uint64_t kRecordMask = 0x0000FFFFFFFFFFFFull;
    core::IndexEntry e;
    if (!index.Get(frn, e)) {
        return false;
    }
    // Up the parent links to the root folder, whose parent is itself.
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        const std::uint64_t parent = e.parentFrn;
        if (parent == 0 || (parent & kRecordMask) == (e.frn & kRecordMask) ||
            !index.Get(parent, e)) {
            return false;
        }
        if ((e.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<DeepHit> CollectFromIndex(const core::PathIndex& index,
                                      const DeepCollectOptions& options,
                                      const core::CancelToken& cancel,
                                      const core::ProgressCallback& progress) {
    const std::uint64_t now = options.now != 0 ? options.now : core::SystemFileTimeNow();
    core::ProgressThrottle throttle(progress);
    const double entryCount = static_cast<double>(std::max<std::uint64_t>(index.EntryCount(), 1));

    std::vector<std::uint64_t> candidates;
    std::uint64_t seen = 0;
    bool stopped = false;
    index.ForEach([&](const core::IndexEntry& e) {
        if (++seen % kCheckEvery == 0) {
            if (cancel.IsCancelled()) {
                stopped = true;
                return false;
            }
            core::Progress p;
            p.fraction = static_cast<double>(seen) * 0.5 / entryCount;
            throttle.Report(p);
        }
        if (IsCandidate(index, e)) {
            candidates.push_back(e.frn);
        }
        return true;
    });
    if (stopped) {
        return {};
    }

    std::vector<DeepHit> hits;
    std::uint64_t bytes = 0;
    std::uint64_t visited = 0;
    struct Pending {
        std::uint64_t frn;
        std::wstring path;
    };
    std::vector<Pending> stack;
    for (std::size_t c = 0; c < candidates.size() && !cancel.IsCancelled(); ++c) {
        const std::wstring folder = index.FullPath(candidates[c]);
        // An outer cache folder takes this one's files; user data and shielded folders are
        // never searched.
        const bool searched = !folder.empty() &&
                              FindCacheFolder(folder, true, 0) == folder.size() &&
                              !IsUserDataFolder(folder) && !IsShieldedFolder(folder) &&
                              !IsBelowReparsePoint(index, candidates[c]);
        stack.clear();
        if (searched) {
            stack.push_back({candidates[c], folder});
        }
        while (!stack.empty() && !stopped) {
            Pending dir = std::move(stack.back());
            stack.pop_back();
            index.ForEachChild(dir.frn, [&](const core::IndexEntry& e) {
                if (++visited % kCheckEvery == 0 && cancel.IsCancelled()) {
                    stopped = true;
                    return false;
                }
                if ((e.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
                    return true;
                }
                std::wstring path = core::JoinPath(dir.path, NameOf(e));
                if ((e.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                    // The walk never enters these either; both engines must find the same.
                    if (!IsUserDataFolder(path) && !IsShieldedFolder(path)) {
                        stack.push_back({e.frn, std::move(path)});
                    }
                    return true;
                }
                if (!IsOldEnough(options.minAgeHours, e.lastWriteTime, now)) {
                    return true;
                }
                DeepHit hit;
                hit.file.path = std::move(path);
                hit.file.size = e.size;
                hit.file.fileId = e.frn;
                hit.file.lastWriteTime = e.lastWriteTime;
                hit.file.attributes = e.attributes;
                hit.folder = folder;
                bytes += e.size;
                hits.push_back(std::move(hit));
                return true;
            });
        }
        if (stopped) {
            break;
        }
        core::Progress p;
        p.fraction =
            0.5 + 0.5 * static_cast<double>(c + 1) / static_cast<double>(candidates.size());
        p.current = folder;
        p.items = hits.size();
        p.bytes = bytes;
        throttle.Report(p);
    }
    return hits;
}

}  // namespace purvex::junk
