#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/delete_types.h"
#include "core/fs/locations.h"
#include "core/fs/walker.h"
#include "modules/junk/junk_category.h"

namespace purvex::junk {

enum class ScanKind : std::uint8_t { Quick = 0, Deep = 1 };

// How the deep stage searched the drive.
enum class ScanEngine : std::uint8_t { None = 0, Mft = 1, Walk = 2 };

// Why the deep stage walked folders instead of reading the file table.
enum class ScanNotice : std::uint8_t {
    None = 0,
    NotElevated = 1,
    NotNtfs = 2,
    Forced = 3,
    Failed = 4,
};

// Replaces the shell's Recycle Bin query: total size and item count, false on failure.
using RecycleBinQuery = std::function<bool(std::uint64_t& size, std::uint64_t& count)>;

struct QuickScanOptions {
    const std::vector<JunkCategory>* catalog = nullptr;  // null: the built-in catalog
    core::VariableResolver resolver;                     // empty: the system's values
    std::uint32_t tempMinAgeHours = 24;                  // 0 takes files of any age
    std::uint64_t now = 0;                               // file time; 0: the clock at start
    RecycleBinQuery queryRecycleBin;                     // empty: the shell
    std::vector<std::wstring>* coveredRoots = nullptr;   // receives every resolved folder
};

// What one category (or one area found by the deep stage) yielded.
struct JunkGroup {
    std::string id;
    std::string nameKey;
    std::string descKey;
    core::Risk risk = core::Risk::Low;
    bool defaultSelected = false;
    std::vector<std::wstring> roots;  // resolved folders, first-seen order, no duplicates
    std::vector<core::FileEntry> items;
    std::uint64_t totalBytes = 0;
    std::vector<std::uint32_t> itemRoots;  // parallel to items: index into roots
    std::wstring label;                    // deep groups: shown instead of the name
    std::wstring location;                 // deep groups: the folder the group stands for
    bool isRecycleBin = false;
    std::uint64_t recycleCount = 0;
    bool isDeep = false;
};

struct ScanResult {
    ScanKind kind = ScanKind::Quick;
    std::vector<JunkGroup> groups;
    std::uint64_t scannedAt = 0;   // file time (UTC) when the scan finished
    std::uint64_t finishedAt = 0;  // steady-clock nanoseconds when the scan finished
    ScanEngine engine = ScanEngine::None;
    ScanNotice notice = ScanNotice::None;
};

// The Recycle Bin counts its shell-reported items, every other group its files.
std::uint64_t GroupItemCount(const JunkGroup& group);

// The folder under which item `index` was found: its root, the group's only root when the
// item has no root index, and empty when the index points nowhere.
std::wstring ItemRoot(const JunkGroup& group, std::size_t index);

// Nanoseconds of the monotonic clock that finishedAt is measured on.
std::uint64_t MonotonicNanoseconds();

}  // namespace purvex::junk
