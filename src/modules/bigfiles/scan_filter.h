#pragma once

#include <cstdint>

namespace purvex::bigfiles {

// Folders, reparse points, offline files and cloud placeholders (recall on open, recall on
// data access) are never counted: their size is not space that deleting them would free, or
// reading them would download them.
inline constexpr std::uint32_t kSkippedAttributes = 0x10 | 0x400 | 0x1000 | 0x40000 | 0x400000;

inline bool IsCountedFile(std::uint32_t attributes) {
    return (attributes & kSkippedAttributes) == 0;
}

}  // namespace purvex::bigfiles
