#include "app/format_text.h"

#include <cstddef>

namespace purvex::app {

std::wstring FormatText(std::wstring_view pattern, std::span<const std::wstring_view> args) {
    std::wstring out;
    out.reserve(pattern.size());
    std::size_t i = 0;
    while (i < pattern.size()) {
        const wchar_t c = pattern[i];
        if ((c == L'{' || c == L'}') && i + 1 < pattern.size() && pattern[i + 1] == c) {
            out += c;
            i += 2;
            continue;
        }
        if (c == L'{') {
            std::size_t j = i + 1;
            std::size_t index = 0;
            bool overflow = false;
            while (j < pattern.size() && pattern[j] >= L'0' && pattern[j] <= L'9') {
                // Any index this large is out of range anyway; stop growing before it wraps.
                if (index > args.size()) {
                    overflow = true;
                } else {
                    index = index * 10 + static_cast<std::size_t>(pattern[j] - L'0');
                }
                ++j;
            }
            const bool hasDigits = j > i + 1;
            if (hasDigits && j < pattern.size() && pattern[j] == L'}' && !overflow &&
                index < args.size()) {
                out += args[index];
                i = j + 1;
                continue;
            }
        }
        out += c;
        ++i;
    }
    return out;
}

std::wstring FormatText(std::wstring_view pattern, std::initializer_list<std::wstring_view> args) {
    return FormatText(pattern, std::span<const std::wstring_view>(args.begin(), args.size()));
}

}  // namespace purvex::app
