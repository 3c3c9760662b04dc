#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/fs/path_text.h"

namespace purvex::core {

// Same length and equal ordinally, ignoring case (CompareStringOrdinal).
bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b);
bool StartsWithIgnoreCase(std::wstring_view text, std::wstring_view prefix);
bool EndsWithIgnoreCase(std::wstring_view text, std::wstring_view suffix);

}  // namespace purvex::core
