#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "modules/bigfiles/big_file_item.h"

namespace purvex::bigfiles {

// What one large-file scan looks for. The defaults are the page's, except forceWalk, which
// the page takes from the settings (DefaultScanOptions).
struct ScanOptions {
    std::wstring root = L"C:\\";
    std::uint64_t minSize = 524'288'000;  // bytes; smaller files are neither counted nor listed
    std::uint64_t topCount = 500;         // files kept; 0 keeps none and only counts
    bool forceWalk = false;               // never read the file table index
};

// The page's options: the defaults with forceWalk from the settings.
ScanOptions DefaultScanOptions();

struct ScanResult {
    std::wstring root;  // normalised
    std::uint64_t minSize = 0;
    std::vector<BigFileItem> items;  // the kept files, in order, classified
    std::uint64_t matchCount = 0;    // every file of at least minSize, kept or not
    std::uint64_t matchBytes = 0;
    std::uint64_t filesChecked = 0;  // files looked at, of any size
    bool usedIndex = false;
    bool stopped = false;         // cancelled: the list may be incomplete
    std::uint64_t scannedAt = 0;  // FILETIME, system time
};

// The normal path form without trailing separators; a lone drive ("C:") stands for its root
// ("C:\"). Empty when the path is unusable.
std::wstring NormalizeScanRoot(std::wstring_view path);

}  // namespace purvex::bigfiles
