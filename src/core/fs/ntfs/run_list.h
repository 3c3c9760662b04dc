#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace purvex::core::ntfs {

// One data run: `clusters` clusters from virtual cluster `vcn` of the stream, stored from
// logical cluster `lcn` of the volume, or not stored at all when sparse.
struct Extent {
    std::uint64_t vcn = 0;
    std::uint64_t clusters = 0;
    std::uint64_t lcn = 0;
    bool sparse = false;
};

// Decodes a mapping-pairs array and appends its runs. False when the list is malformed (a bad
// header byte, a field running past the bytes, a zero or huge length, a negative cluster
// number, or a virtual cluster number that overflows); `out` then holds nothing of this list.
[[nodiscard]] bool DecodeRunList(std::span<const std::uint8_t> bytes, std::uint64_t startVcn,
                                 std::vector<Extent>& out);

}  // namespace purvex::core::ntfs
