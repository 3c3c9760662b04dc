#pragma once

#include <string>

#include "modules/bigfiles/scan_types.h"
#include "modules/bigfiles/top_files.h"

namespace purvex::bigfiles {

// The last step of both scans: the kept files in order, the counts, each file classified and
// locked when the safety policy would refuse it under the scan root, and the time stamp.
ScanResult FinishScan(TopFiles& top, const std::wstring& root, std::uint64_t filesChecked,
                      bool usedIndex, bool stopped);

// A result that lists nothing, for a scan that could not start or was cancelled before it
// looked at anything.
ScanResult EmptyScanResult(const std::wstring& root, std::uint64_t minSize, bool stopped);

}  // namespace purvex::bigfiles
