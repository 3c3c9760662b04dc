#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace purvex::app {

// Number conventions of the UI language's locale, fixed when the language is chosen so that
// numbers follow the program's language rather than the Windows regional settings.
struct FormatState {
    std::wstring localeName = L"en-US";
    std::wstring decimalSeparator = L".";
    std::wstring thousandsSeparator = L",";
    std::uint32_t grouping = 3;  // in the form NUMBERFMTW expects
    std::uint32_t leadingZero = 1;
    std::uint32_t negativeOrder = 1;
    std::array<std::wstring, 5> unitTexts = {L"B", L"KB", L"MB", L"GB", L"TB"};
};

// The state in use; before any language was chosen, one for "en-US" with the plain units.
std::shared_ptr<const FormatState> CurrentFormatState();

// Reads the locale of the language and swaps the current state; formatting already under way
// keeps the state it started with.
void RebuildFormatState(std::wstring_view languageCode, std::array<std::wstring, 5> unitTexts);

// Builds a state without installing it; an empty unit text keeps the plain one.
FormatState BuildFormatState(std::wstring_view localeName, std::array<std::wstring, 5> unitTexts);

// LOCALE_SGROUPING text ("3;0", "3;2;0") to the number NUMBERFMTW takes (3, 32).
std::uint32_t GroupingFromLocaleText(std::wstring_view text);

}  // namespace purvex::app
