#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/cancel_token.h"
#include "core/fs/ntfs/mft_status.h"
#include "core/fs/ntfs/path_index.h"
#include "core/fs/walker.h"
#include "core/progress.h"
#include "modules/junk/junk_scan_types.h"

namespace purvex::junk {

// Where the deep stage gets a drive's index: AcquirePathIndex's contract (drive, maximum age
// in seconds, cancel, progress, status).
using PathIndexSource = std::function<std::shared_ptr<const core::PathIndex>(
    wchar_t, std::int64_t, core::CancelToken&, const core::ProgressCallback&, core::MftStatus*)>;

struct DeepScanOptions {
    wchar_t drive = L'C';
    bool useIndex = true;                      // false walks the folders
    ScanNotice walkNotice = ScanNotice::None;  // reported when useIndex is false
    std::wstring root;                         // folder to walk; empty: the drive's root
    std::uint32_t minAgeHours = 24;            // 0 takes files of any age
    std::uint64_t now = 0;                     // file time; 0: the clock at start
    // Lower-cased full paths of the files the quick stage already offers.
    const std::unordered_set<std::wstring>* excludedFiles = nullptr;
    std::vector<std::wstring> excludedRoots;  // folders the quick stage already covers
    bool resolveFileIds = false;              // always on when walking
    PathIndexSource buildIndex;               // empty: AcquirePathIndex
};

struct DeepScanOutput {
    std::vector<JunkGroup> groups;  // all isDeep
    ScanEngine engine = ScanEngine::None;
    ScanNotice notice = ScanNotice::None;
};

// A file found below a cache folder.
struct DeepHit {
    core::FileEntry file;  // fileId 0: unknown
    std::wstring folder;   // the cache folder it was found under, no trailing backslash
};

// What both collectors take.
struct DeepCollectOptions {
    std::uint32_t minAgeHours = 24;
    std::uint64_t now = 0;  // file time; 0: the clock at start
};

struct DeepFinishOptions {
    const std::unordered_set<std::wstring>* excludedFiles = nullptr;
    std::vector<std::wstring> excludedRoots;
    bool resolveFileIds = false;
};

}  // namespace purvex::junk
