#pragma once

#include <cstdint>
#include <span>

namespace purvex::core::ntfs {

enum class FixupResult : std::uint8_t {
    Ok = 0,
    BadHeader = 1,  // size or signature
    BadArray = 2,   // update-sequence count or offset
    Torn = 3,       // a stride did not end with the update-sequence number
};

// Checks every 512-byte stride of a record against its update sequence and puts the saved
// bytes back. The stride is 512 bytes whatever the sector size of the volume.
[[nodiscard]] FixupResult ApplyFixups(std::span<std::uint8_t> record);

}  // namespace purvex::core::ntfs
