#include "modules/junk/deep_scan.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/fs/ntfs/path_index_cache.h"
#include "core/system_time.h"
#include "modules/junk/scale_progress.h"

namespace purvex::junk {
namespace {

// An index younger than this is shared with the large-file scan instead of built again.
constexpr std::int64_t kIndexMaxAgeSeconds = 3600;

}  // namespace

DeepScanOutput RunDeepScan(const DeepScanOptions& options, core::CancelToken& cancel,
                           const core::ProgressCallback& progress) {
    DeepScanOutput out;
    DeepCollectOptions collect;
    collect.minAgeHours = options.minAgeHours;
    collect.now = options.now != 0 ? options.now : core::SystemFileTimeNow();

    std::vector<DeepHit> hits;
    bool walk = !options.useIndex;
    if (options.useIndex) {
        core::ProgressThrottle buildThrottle(ScaleProgress(progress, 0, 0.8));
        core::ProgressCallback buildProgress;
        if (progress) {
            buildProgress = [&buildThrottle](const core::Progress& p) { buildThrottle.Report(p); };
        }
        core::MftStatus status = core::MftStatus::Ok;
        const std::shared_ptr<const core::PathIndex> index =
            options.buildIndex ? options.buildIndex(options.drive, kIndexMaxAgeSeconds, cancel,
                                                    buildProgress, &status)
                               : core::AcquirePathIndex(options.drive, kIndexMaxAgeSeconds, cancel,
                                                        buildProgress, &status);
        if (cancel.IsCancelled()) {
            return out;
        }
        if (index) {
            core::ProgressCallback collectProgress;
            if (progress) {
                collectProgress = [&progress](const core::Progress& p) {
                    core::Progress scaled = p;
                    scaled.fraction = 0.8 + 0.18 * std::max(p.fraction, 0.0);
                    progress(scaled);
                };
            }
            hits = CollectFromIndex(*index, collect, cancel, collectProgress);
            out.engine = ScanEngine::Mft;
        } else {
            out.notice =
                status == core::MftStatus::NotNtfs ? ScanNotice::NotNtfs : ScanNotice::Failed;
            walk = true;
        }
    }
    if (walk) {
        if (out.notice == ScanNotice::None) {
            out.notice = options.walkNotice;
        }
        const std::wstring root =
            options.root.empty() ? std::wstring{options.drive, L':', L'\\'} : options.root;
        hits = CollectByWalk(root, collect, cancel, progress);
        out.engine = ScanEngine::Walk;
    }

    DeepFinishOptions finish;
    finish.excludedFiles = options.excludedFiles;
    finish.excludedRoots = options.excludedRoots;
    // The walk's listing carries no file ids; without them hard links would count twice.
    finish.resolveFileIds = options.resolveFileIds || walk;
    out.groups = FinishDeepHits(std::move(hits), finish, cancel);

    if (progress && !cancel.IsCancelled()) {
        core::Progress done;
        done.fraction = 1.0;
        for (const JunkGroup& group : out.groups) {
            done.items += group.items.size();
            done.bytes += group.totalBytes;
        }
        progress(done);
    }
    return out;
}

}  // namespace purvex::junk
