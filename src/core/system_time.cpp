#include "core/system_time.h"

#include <windows.h>

namespace purvex::core {

std::uint64_t SystemFileTimeNow() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

}  // namespace purvex::core
