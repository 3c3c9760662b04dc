#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace purvex::app {

// Fills "{0}", "{1}", … with already formatted arguments; "{{" and "}}" give single braces.
// A placeholder without an argument stays in the text as written, so a translation with a
// wrong index shows the mistake instead of dropping text.
std::wstring FormatText(std::wstring_view pattern, std::span<const std::wstring_view> args);
std::wstring FormatText(std::wstring_view pattern, std::initializer_list<std::wstring_view> args);

}  // namespace purvex::app
