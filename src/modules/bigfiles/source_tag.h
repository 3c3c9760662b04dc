#pragma once

#include <cstdint>
#include <string_view>

namespace purvex::bigfiles {

// Where a large file comes from, or what it is; shown in the page's Source column. The
// numbers are fixed: results are kept and compared by them.
enum class SourceTag : std::uint8_t {
    Other = 0,
    Downloads = 1,
    Desktop = 2,
    Documents = 3,
    Videos = 4,
    DiskImage = 5,
    Archive = 6,
    Installer = 7,
    VirtualDisk = 8,
    Emulator = 9,
    Game = 10,
    DevCache = 11,
    Application = 12,
    System = 13,
};

inline constexpr std::uint8_t kSourceTagCount = 14;

// "bigfiles.tag.other", "bigfiles.tag.downloads", …; the key of tag 0 outside the range.
std::string_view SourceTagKey(SourceTag tag);

}  // namespace purvex::bigfiles
