// The language a real start of the program chooses, read from the log of a portable copy.
#include <windows.h>

#include <gtest/gtest.h>
#include <string>

#include "app_log.h"
#include "core/fs/path_text.h"
#include "support/child_process.h"
#include "support/scratch_dir.h"

namespace purvex {
namespace {

TEST(StartupLanguageRunTest, CommandLineThenSettingsThenWindows) {
    const struct {
        const wchar_t* arguments;
        const char* settings;
        const char* chosen;
        const char* rejected;
    } cases[] = {
        {L"", "[general]\r\nlanguage=fr\r\n", "UI language: fr", nullptr},
        {L" --lang ZH-tw", "[general]\r\nlanguage=fr\r\n", "UI language: zh-TW", nullptr},
        {L" --lang xx", "[general]\r\nlanguage=fr\r\n", "] -> ", "Unknown language code: xx"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen);
        test::ScratchDir scratch;
        const std::wstring exe = scratch.Sub(L"purvex.exe");
        ASSERT_TRUE(CopyFileW(core::ToLongPath(test::PurvexExe()).c_str(),
                              core::ToLongPath(exe).c_str(), FALSE));
        scratch.MakeFile(L"portable.ini");
        scratch.MakeFile(L"settings.ini", c.settings);
        ASSERT_EQ(test::RunToExit(test::QuoteArgument(exe) + L" --screenshot " +
                                  test::QuoteArgument(scratch.Sub(L"shot.png")) + c.arguments),
                  0u);
        const std::string log = test::ReadAppLogs(scratch.Sub(L"logs"));
        EXPECT_EQ(test::CountOf(log, c.chosen), 1) << log;
        EXPECT_EQ(test::CountOf(log, "UI language: "), 1) << log;
        if (c.rejected != nullptr) {
            // The saved French is not tried: a bad --lang falls back to Windows' language.
            EXPECT_EQ(test::CountOf(log, c.rejected), 1) << log;
            EXPECT_EQ(test::CountOf(log, "UI language: fr"), 0) << log;
        }
    }
}

}  // namespace
}  // namespace purvex
