#include "app/format_state.h"

#include <windows.h>

#include <mutex>

#include "app/languages.h"

namespace purvex::app {
namespace {

std::mutex gStateMutex;
std::shared_ptr<const FormatState> gState;

std::wstring LocaleString(const std::wstring& locale, LCTYPE type, std::wstring fallback) {
    wchar_t buffer[16] = {};
    const int length = GetLocaleInfoEx(locale.c_str(), type, buffer, ARRAYSIZE(buffer));
    // A length of 1 is only the terminator: an empty separator would merge the digits.
    if (length < 2) {
        return fallback;
    }
    return std::wstring(buffer, static_cast<std::size_t>(length - 1));
}

std::uint32_t LocaleNumber(const std::wstring& locale, LCTYPE type, std::uint32_t fallback) {
    DWORD value = 0;
    const int length =
        GetLocaleInfoEx(locale.c_str(), type | LOCALE_RETURN_NUMBER,
                        reinterpret_cast<LPWSTR>(&value), sizeof(value) / sizeof(wchar_t));
    return length > 0 ? static_cast<std::uint32_t>(value) : fallback;
}

}  // namespace

std::uint32_t GroupingFromLocaleText(std::wstring_view text) {
    std::uint32_t number = 0;
    for (const wchar_t c : text) {
        // Real grouping texts have at most a handful of digits; cap so nonsense cannot wrap.
        if (c >= L'0' && c <= L'9' && number < 100000000) {
            number = number * 10 + static_cast<std::uint32_t>(c - L'0');
        }
    }
    if (!text.empty() && text.back() == L'0' && number % 10 == 0) {
        return number / 10;
    }
    return number * 10;
}

FormatState BuildFormatState(std::wstring_view localeName, std::array<std::wstring, 5> unitTexts) {
    FormatState state;
    state.localeName.assign(localeName);
    state.decimalSeparator = LocaleString(state.localeName, LOCALE_SDECIMAL, L".");
    state.thousandsSeparator = LocaleString(state.localeName, LOCALE_STHOUSAND, L",");
    const std::wstring grouping = LocaleString(state.localeName, LOCALE_SGROUPING, L"");
    state.grouping = grouping.empty() ? 3 : GroupingFromLocaleText(grouping);
    state.leadingZero = LocaleNumber(state.localeName, LOCALE_ILZERO, 1);
    state.negativeOrder = LocaleNumber(state.localeName, LOCALE_INEGNUMBER, 1);
    for (std::size_t i = 0; i < unitTexts.size(); ++i) {
        if (!unitTexts[i].empty()) {
            state.unitTexts[i] = std::move(unitTexts[i]);
        }
    }
    return state;
}

std::shared_ptr<const FormatState> CurrentFormatState() {
    std::lock_guard lock(gStateMutex);
    if (!gState) {
        gState = std::make_shared<const FormatState>(BuildFormatState(L"en-US", {}));
    }
    return gState;
}

void RebuildFormatState(std::wstring_view languageCode, std::array<std::wstring, 5> unitTexts) {
    auto state = std::make_shared<const FormatState>(
        BuildFormatState(LocaleNameForLanguage(languageCode), std::move(unitTexts)));
    std::lock_guard lock(gStateMutex);
    gState = std::move(state);
}

}  // namespace purvex::app
