#pragma once

#include <string>
#include <vector>

#include "core/cancel_token.h"
#include "core/fs/ntfs/path_index.h"
#include "core/progress.h"
#include "modules/junk/deep_scan_types.h"

namespace purvex::junk {

// Searches the drive for cache and temp folders the catalog does not know, through the
// drive's file-table index when asked and available, else by walking its folders, and groups
// their files by application area. After a cancel the output is incomplete and must be
// discarded. Blocks; call it on a worker.
DeepScanOutput RunDeepScan(const DeepScanOptions& options, core::CancelToken& cancel,
                           const core::ProgressCallback& progress);

// The files below every outermost cache folder of the index, skipping reparse points, user
// data and shielded folders, and files younger than the minimum age.
std::vector<DeepHit> CollectFromIndex(const core::PathIndex& index,
                                      const DeepCollectOptions& options,
                                      const core::CancelToken& cancel,
                                      const core::ProgressCallback& progress);

// The same search by walking the folders below root on the task runner's workers. The order
// of the hits follows the walk and is not fixed.
std::vector<DeepHit> CollectByWalk(const std::wstring& root, const DeepCollectOptions& options,
                                   const core::CancelToken& cancel,
                                   const core::ProgressCallback& progress);

// Drops what the quick stage offers and what the safety policy refuses, counts hard links
// once, and builds one group per application area, largest first.
std::vector<JunkGroup> FinishDeepHits(std::vector<DeepHit> hits, const DeepFinishOptions& options,
                                      const core::CancelToken& cancel);

}  // namespace purvex::junk
