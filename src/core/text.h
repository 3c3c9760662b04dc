#pragma once

#include <string>
#include <string_view>

namespace purvex::core {

// Invalid input becomes U+FFFD; empty in, empty out.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

// Strict check used where a byte string must be real UTF-8 before it is trusted.
bool IsValidUtf8(std::string_view bytes);

// %NAME% references replaced by the environment; the text unchanged when it holds no '%' or
// cannot be expanded.
std::wstring ExpandEnvironment(std::wstring_view text);

}  // namespace purvex::core
