#pragma once

#include <string>
#include <string_view>

namespace purvex::ui {

// A shown text: the translation of `key` when the key is set, else `literal`. Resolved at
// every measure and paint, so a language switch needs only a new layout.
struct TextPair {
    std::string key;
    std::wstring literal;

    [[nodiscard]] bool Empty() const noexcept { return key.empty() && literal.empty(); }
    bool operator==(const TextPair&) const = default;
};

inline TextPair Key(std::string_view key) {
    return {std::string(key), {}};
}
inline TextPair Literal(std::wstring_view text) {
    return {{}, std::wstring(text)};
}

std::wstring ShownText(const TextPair& text);
// The translation of a language key.
std::wstring Translate(std::string_view key);

}  // namespace purvex::ui
