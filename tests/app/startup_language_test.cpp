#include "app/startup_language.h"

#include <gtest/gtest.h>
#include <string>

#include "app/language_choice.h"
#include "app/localization.h"

namespace purvex::app {
namespace {

TEST(StartupLanguageTest, CommandLineThenSettingsThenSystem) {
    const std::wstring system = DetectSystemLanguage();
    const struct {
        const wchar_t* commandLine;
        const wchar_t* settings;
        std::wstring expected;
    } cases[] = {
        {L"de", L"fr", L"de"},
        {L"", L"fr", L"fr"},
        {L"KO", L"", L"ko"},
        // A rejected choice does not fall back to the other source, only to the system's.
        {L"pt-BR", L"fr", system},
        {L"", L"xx", system},
        {L"", L"", system},
    };
    for (const auto& c : cases) {
        SetLanguage(system == L"ja" ? L"zh-CN" : L"ja");  // something that must change
        SelectStartupLanguage(c.commandLine, c.settings);
        EXPECT_EQ(CurrentLanguage(), c.expected)
            << testing::PrintToString(std::wstring(c.commandLine));
    }
    SetLanguage(L"en");
}

}  // namespace
}  // namespace purvex::app
