// Runs a copy of the real program in portable mode, so that its data folder is a scratch
// folder, and reads the log and settings it leaves there.
#include <windows.h>

#include <gtest/gtest.h>
#include <optional>
#include <string>

#include "core/fs/path_text.h"
#include "core/text.h"
#include "support/child_process.h"
#include "support/file_bytes.h"
#include "support/scratch_dir.h"

namespace purvex {
namespace {

// Every app log in the folder, in name order (a run may cross midnight).
std::string ReadAppLogs(const std::wstring& logsFolder) {
    std::string all;
    WIN32_FIND_DATAW entry{};
    const HANDLE find =
        FindFirstFileExW(core::ToLongPath(logsFolder + L"\\app_*.log").c_str(), FindExInfoBasic,
                         &entry, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        return all;
    }
    do {
        all += test::ReadFileBytes(logsFolder + L"\\" + entry.cFileName).value_or("");
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return all;
}

class PortableRun : public ::testing::Test {
protected:
    void SetUp() override {
        exe_ = scratch_.Sub(L"purvex.exe");
        ASSERT_TRUE(CopyFileW(core::ToLongPath(test::PurvexExe()).c_str(),
                              core::ToLongPath(exe_).c_str(), FALSE));
        scratch_.MakeFile(L"portable.ini");
    }
    std::optional<DWORD> RunScreenshot() {
        return test::RunToExit(test::QuoteArgument(exe_) + L" --screenshot " +
                               test::QuoteArgument(scratch_.Sub(L"shot.png")));
    }
    test::ScratchDir scratch_;
    std::wstring exe_;
};

// Position of `text` in `log` after `from`, as an info line of the program.
std::size_t FindInfo(const std::string& log, const std::string& text, std::size_t from = 0) {
    const std::size_t at = log.find("] " + text, from);
    if (at == std::string::npos) {
        return at;
    }
    const std::size_t lineStart = log.rfind('\n', at);
    const std::string line = log.substr(lineStart == std::string::npos ? 0 : lineStart + 1,
                                        at - (lineStart == std::string::npos ? 0 : lineStart + 1));
    return line.find(" [INFO] [") != std::string::npos ? at : std::string::npos;
}

TEST_F(PortableRun, LogsStartSettingsAndExitInTheDataFolder) {
    ASSERT_EQ(RunScreenshot(), 0u);
    const std::string settingsPath = core::WideToUtf8(scratch_.Sub(L"settings.ini"));
    std::string log = ReadAppLogs(scratch_.Sub(L"logs"));
    const std::size_t start = FindInfo(log, "Purvex starting");
    const std::size_t settings = FindInfo(
        log, "Settings file not found or unreadable, using defaults: " + settingsPath, start);
    const std::size_t exiting = FindInfo(log, "Purvex exiting", settings);
    EXPECT_NE(start, std::string::npos) << log;
    EXPECT_NE(settings, std::string::npos) << log;
    EXPECT_NE(exiting, std::string::npos) << log;
    EXPECT_FALSE(test::FileExists(scratch_.Sub(L"settings.ini"))) << "start never writes it";

    scratch_.MakeFile(L"settings.ini", "[general]\r\ntheme=dark\r\n");
    ASSERT_EQ(RunScreenshot(), 0u);
    log = ReadAppLogs(scratch_.Sub(L"logs"));
    const std::size_t second = FindInfo(log, "Purvex starting", exiting);
    EXPECT_NE(FindInfo(log, "Settings loaded from " + settingsPath, second), std::string::npos)
        << log;
    EXPECT_EQ(test::ReadFileBytes(scratch_.Sub(L"settings.ini")), "[general]\r\ntheme=dark\r\n");
}

TEST_F(PortableRun, UnusableLogsFolderOnlyTurnsFileLoggingOff) {
    scratch_.MakeFile(L"logs", "not a folder");
    ASSERT_EQ(RunScreenshot(), 0u);
    EXPECT_TRUE(test::FileExists(scratch_.Sub(L"shot.png")));
    EXPECT_EQ(test::ReadFileBytes(scratch_.Sub(L"logs")), "not a folder");
}

}  // namespace
}  // namespace purvex
