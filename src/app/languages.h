#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace purvex::app {

// One supported UI language. The table is fixed: its order is the order of the Settings
// page's language list, and the resource ids name the built-in text tables.
struct LanguageInfo {
    std::wstring_view code;  // canonical spelling
    std::wstring_view displayName;
    std::uint16_t resourceId;
    std::wstring_view localeName;  // for number and date formats
};

std::span<const LanguageInfo> SupportedLanguages();

// Same length and equal ignoring case: "PT-pt" finds "pt-PT", "pt" finds nothing.
const LanguageInfo* FindLanguage(std::wstring_view code);

// "en-US" for any code that is not supported.
std::wstring_view LocaleNameForLanguage(std::wstring_view code);

}  // namespace purvex::app
