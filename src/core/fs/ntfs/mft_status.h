#pragma once

#include <cstdint>

namespace purvex::core {

// Why an NTFS index could not be built; callers fall back to walking folders and say why.
enum class MftStatus : std::uint8_t {
    Ok = 0,
    NotNtfs = 1,
    NoAccess = 2,
    IoError = 3,
    BadFormat = 4,
    Cancelled = 5,
};

}  // namespace purvex::core
