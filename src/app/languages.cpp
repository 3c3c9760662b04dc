#include "app/languages.h"

#include <windows.h>

#include <array>
#include <climits>

namespace purvex::app {
namespace {

constexpr std::array<LanguageInfo, 9> kLanguages = {{
    {L"en", L"English", 201, L"en-US"},
    {L"de", L"Deutsch (Deutschland)", 206, L"de-DE"},
    {L"es", L"Espa\u00f1ol (Espa\u00f1a)", 203, L"es-ES"},
    {L"fr", L"Fran\u00e7ais (France)", 204, L"fr-FR"},
    {L"ja", L"\u65e5\u672c\u8a9e", 207, L"ja-JP"},
    {L"ko", L"\ud55c\uad6d\uc5b4", 208, L"ko-KR"},
    {L"pt-PT", L"Portugu\u00eas (Portugal)", 205, L"pt-PT"},
    {L"zh-TW", L"\u7e41\u9ad4\u4e2d\u6587", 209, L"zh-TW"},
    {L"zh-CN", L"\u7b80\u4f53\u4e2d\u6587", 202, L"zh-CN"},
}};

}  // namespace

std::span<const LanguageInfo> SupportedLanguages() {
    return kLanguages;
}

const LanguageInfo* FindLanguage(std::wstring_view code) {
    if (code.empty() || code.size() > INT_MAX) {
        return nullptr;
    }
    for (const LanguageInfo& language : kLanguages) {
        if (language.code.size() == code.size() &&
            CompareStringOrdinal(language.code.data(), static_cast<int>(language.code.size()),
                                 code.data(), static_cast<int>(code.size()), TRUE) == CSTR_EQUAL) {
            return &language;
        }
    }
    return nullptr;
}

std::wstring_view LocaleNameForLanguage(std::wstring_view code) {
    const LanguageInfo* language = FindLanguage(code);
    return language != nullptr ? language->localeName : std::wstring_view(L"en-US");
}

}  // namespace purvex::app
