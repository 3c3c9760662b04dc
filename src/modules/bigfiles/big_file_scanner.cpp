#include "modules/bigfiles/big_file_scanner.h"

#include <algorithm>
#include <string>

#include "core/fs/ntfs/path_index_cache.h"
#include "core/fs/volume_facts.h"
#include "core/log.h"
#include "core/safety/ownership.h"
#include "modules/bigfiles/finish_scan.h"

namespace purvex::bigfiles {
namespace {

// A large-file scan right after a deep junk scan reuses that scan's index.
constexpr std::int64_t kIndexMaxAgeSeconds = 3600;
constexpr double kBuildShare = 0.9;

bool IsDriveRoot(const std::wstring& root) {
    return root.size() == 3 &&
           ((root[0] >= L'a' && root[0] <= L'z') || (root[0] >= L'A' && root[0] <= L'Z')) &&
           root[1] == L':' && root[2] == L'\\';
}

wchar_t UpperDrive(wchar_t letter) {
    return letter >= L'a' && letter <= L'z' ? static_cast<wchar_t>(letter - L'a' + L'A') : letter;
}

core::ProgressCallback BuildProgress(const core::ProgressCallback& progress) {
    if (!progress) {
        return {};
    }
    return [progress](const core::Progress& p) {
        core::Progress scaled = p;
        scaled.fraction = p.fraction < 0 ? -1.0 : p.fraction * kBuildShare;
        progress(scaled);
    };
}

core::ProgressCallback IndexPassProgress(const core::ProgressCallback& progress) {
    if (!progress) {
        return {};
    }
    return [progress](const core::Progress& p) {
        core::Progress scaled = p;
        scaled.fraction = kBuildShare + (1.0 - kBuildShare) * std::max(p.fraction, 0.0);
        progress(scaled);
    };
}

}  // namespace

ScanResult BigFileScanner::Scan(const ScanOptions& options, core::CancelToken& cancel,
                                const core::ProgressCallback& progress,
                                const IndexSource& indexSource) {
    ScanOptions normal = options;
    normal.root = NormalizeScanRoot(options.root);
    if (options.forceWalk || !IsDriveRoot(normal.root) || !core::IsElevated() ||
        !core::IsNtfsDrive(normal.root[0])) {
        return ScanWalk(normal, cancel, progress);
    }

    const wchar_t drive = UpperDrive(normal.root[0]);
    core::MftStatus status = core::MftStatus::IoError;
    std::shared_ptr<const core::PathIndex> index;
    try {
        index = indexSource ? indexSource(drive, kIndexMaxAgeSeconds, cancel,
                                          BuildProgress(progress), &status)
                            : core::AcquirePathIndex(drive, kIndexMaxAgeSeconds, cancel,
                                                     BuildProgress(progress), &status);
    } catch (...) {
        index.reset();
        status = core::MftStatus::BadFormat;
    }
    if (index) {
        return ScanIndex(*index, normal, cancel, IndexPassProgress(progress));
    }
    if (status == core::MftStatus::Cancelled || cancel.IsCancelled()) {
        return EmptyScanResult(normal.root, normal.minSize, true);
    }
    core::LogWrite(core::LogLevel::Warn, L"bigfiles: MFT unavailable (status " +
                                             std::to_wstring(static_cast<unsigned>(status)) +
                                             L"), walking instead");
    return ScanWalk(normal, cancel, progress);
}

}  // namespace purvex::bigfiles
