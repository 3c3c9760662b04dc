#include "app/language_choice.h"

#include <windows.h>

#include <string_view>
#include <vector>

#include "core/log.h"

namespace purvex::app {
namespace {

std::wstring_view TrimName(std::wstring_view name) {
    constexpr std::wstring_view kSpace = L" \t\r\n\uFEFF";
    const std::size_t first = name.find_first_not_of(kSpace);
    if (first == std::wstring_view::npos) {
        return {};
    }
    return name.substr(first, name.find_last_not_of(kSpace) - first + 1);
}

std::vector<std::string> SplitSubtags(std::wstring_view name) {
    std::vector<std::string> subtags(1);
    for (const wchar_t c : name) {
        if (c == L'-' || c == L'_') {
            subtags.emplace_back();
        } else if (c > 0x7F) {
            subtags.back() += '?';
        } else {
            const char ascii = static_cast<char>(c);
            subtags.back() +=
                (ascii >= 'A' && ascii <= 'Z') ? static_cast<char>(ascii + 32) : ascii;
        }
    }
    return subtags;
}

const wchar_t* ChineseVariant(const std::vector<std::string>& subtags) {
    bool hant = false;
    bool hans = false;
    bool traditionalRegion = false;
    for (std::size_t i = 1; i < subtags.size(); ++i) {
        const std::string& tag = subtags[i];
        hant = hant || tag == "hant";
        hans = hans || tag == "hans";
        traditionalRegion = traditionalRegion || tag == "tw" || tag == "hk" || tag == "mo";
    }
    return hant || (traditionalRegion && !hans) ? L"zh-TW" : L"zh-CN";
}

std::vector<std::wstring> PreferredUiLanguages() {
    ULONG count = 0;
    ULONG size = 0;
    if (!GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &size) || size == 0) {
        return {};
    }
    std::wstring buffer(size, L'\0');
    if (!GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, buffer.data(), &size)) {
        return {};
    }
    std::vector<std::wstring> names;
    for (std::size_t at = 0; at < buffer.size() && buffer[at] != L'\0';) {
        const std::size_t end = buffer.find(L'\0', at);
        names.emplace_back(buffer.substr(at, end - at));
        at = end == std::wstring::npos ? buffer.size() : end + 1;
    }
    return names;
}

}  // namespace

std::wstring ChooseLanguage(std::span<const std::wstring> languageNames) {
    for (const std::wstring& name : languageNames) {
        const std::vector<std::string> subtags = SplitSubtags(TrimName(name));
        const std::string& primary = subtags.front();
        if (primary == "zh") {
            return ChineseVariant(subtags);
        }
        if (primary == "pt") {
            return L"pt-PT";
        }
        for (const wchar_t* code : {L"de", L"ja", L"ko", L"es", L"fr", L"en"}) {
            if (primary.size() == 2 && primary[0] == code[0] && primary[1] == code[1]) {
                return code;
            }
        }
    }
    return L"en";
}

std::wstring DetectSystemLanguage() {
    const std::vector<std::wstring> names = PreferredUiLanguages();
    std::wstring code = ChooseLanguage(names);
    std::wstring joined;
    for (const std::wstring& name : names) {
        if (!joined.empty()) {
            joined += L", ";
        }
        joined += name;
    }
    core::LogWrite(core::LogLevel::Info, L"System UI languages [" + joined + L"] -> " + code);
    return code;
}

}  // namespace purvex::app
