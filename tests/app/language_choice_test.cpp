#include "app/language_choice.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace purvex::app {
namespace {

TEST(LanguageChoiceTest, FirstSupportedNameWins) {
    const struct {
        std::vector<std::wstring> names;
        const wchar_t* expected;
    } cases[] = {
        {{L"zh-Hant-CN"}, L"zh-TW"},
        {{L"zh-HK"}, L"zh-TW"},
        {{L"zh-MO"}, L"zh-TW"},
        {{L"zh_tw"}, L"zh-TW"},
        {{L"zh-Hans-HK"}, L"zh-CN"},
        {{L"zh-SG"}, L"zh-CN"},
        {{L"zh"}, L"zh-CN"},
        {{L"pt-BR"}, L"pt-PT"},
        {{L"it-IT"}, L"en"},
        {{L"it-IT", L"de-AT"}, L"de"},
        {{L" \uFEFFFR-ca\r\n"}, L"fr"},
        {{L"ja-JP", L"en-US"}, L"ja"},
        {{L"ko"}, L"ko"},
        {{L"es-419"}, L"es"},
        {{L"eng", L"fr"}, L"fr"},
        {{L"d\u00e9-DE", L"ko"}, L"ko"},
        {{L""}, L"en"},
        {{}, L"en"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseLanguage(c.names), c.expected) << ::testing::PrintToString(c.names);
    }
}

}  // namespace
}  // namespace purvex::app
