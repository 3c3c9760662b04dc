#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "app/format_state.h"

namespace purvex::app {

// 1024-based units with two, one or no decimals, so that a size always shows three or four
// significant digits ("512 B", "1.50 KB", "10.0 GB", "100 KB").
std::wstring FormatSize(std::uint64_t bytes);
std::wstring FormatSize(const FormatState& state, std::uint64_t bytes);

// Digits grouped the locale's way ("1,234,567", "1.234.567").
std::wstring FormatCount(std::uint64_t count);
std::wstring FormatCount(const FormatState& state, std::uint64_t count);

// The locale's short date; "yyyy-mm-dd" when Windows cannot format it.
std::wstring FormatDate(std::wstring_view localeName, const SYSTEMTIME& time);

// A UTC file time as a short local date of the UI language; empty when it cannot convert.
std::wstring FormatFileDate(const FILETIME& utc);

}  // namespace purvex::app
