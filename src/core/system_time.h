#pragma once

#include <cstdint>

namespace purvex::core {

// The system time as a file time (100 ns since 1601, UTC), as file times on disk are kept.
std::uint64_t SystemFileTimeNow();

}  // namespace purvex::core
