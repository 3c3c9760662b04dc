#include "app/settings.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

#include "app/app_paths.h"
#include "core/fs/path_text.h"
#include "core/log.h"
#include "core/text.h"
#include "support/file_bytes.h"
#include "support/scratch_dir.h"

namespace purvex::app {
namespace {

using core::DeleteMode;

TEST(SettingsTest, SerializedDefaultsAreTheCanonicalFileAndReadBack) {
    const std::string text = SerializeSettings(SettingsData{});
    EXPECT_EQ(text,
              "; Purvex settings (UTF-8). Unknown or invalid values fall back to their "
              "defaults.\r\n"
              "[general]\r\nlanguage=\r\ntheme=system\r\n\r\n"
              "[clean]\r\njunkDeleteMode=permanent\r\nbigFilesDeleteMode=recycle\r\n"
              "socialDeleteMode=recycle\r\nvideoDeleteMode=recycle\r\ntempMinAgeHours=24\r\n"
              "bigFilesMinSizeMB=500\r\nsocialMinAgeDays=0\r\nvideoMinAgeDays=0\r\n"
              "deepScanForceWalk=false\r\n\r\n"
              "[exclusions]\r\n\r\n"
              "[window]\r\nx=0\r\ny=0\r\nwidth=0\r\nheight=0\r\nmaximized=false\r\n");
    EXPECT_EQ(ParseSettings(text), SettingsData{});
}

TEST(SettingsTest, EveryFieldSurvivesARoundTrip) {
    SettingsData s;
    s.language = L"zh-CN";
    s.theme = ThemeMode::Dark;
    s.junkDeleteMode = DeleteMode::Recycle;
    s.bigFilesDeleteMode = DeleteMode::Permanent;
    s.socialDeleteMode = DeleteMode::Permanent;
    s.videoDeleteMode = DeleteMode::Permanent;
    s.tempMinAgeHours = 0;
    s.bigFilesMinSizeMB = 1048576;
    s.socialMinAgeDays = 3650;
    s.videoMinAgeDays = 7;
    s.deepScanForceWalk = true;
    s.exclusions = {L"C:\\Data", L"D:\\Fotos \u00e9t\u00e9 \u5199\u771f"};
    s.windowX = -32767;
    s.windowY = 120;
    s.windowWidth = 32767;
    s.windowHeight = 700;
    s.windowMaximized = true;
    EXPECT_EQ(ParseSettings(SerializeSettings(s)), s);
}

TEST(SettingsTest, ByteOrderMarkLineEndsAndKeyCaseDoNotMatter) {
    const std::string body =
        "[CLEAN]\n  TEMPMINAGEHOURS = 12 \ntempminagehours=13\n[General]\n"
        "Theme=Dark\nLanguage = JA\n";
    std::string crlf;
    for (char c : body) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    for (const std::string& text : {body, crlf, "\xEF\xBB\xBF" + body, "\xEF\xBB\xBF" + crlf}) {
        const SettingsData s = ParseSettings(text);
        EXPECT_EQ(s.tempMinAgeHours, 13) << "the last of two duplicate keys wins";
        EXPECT_EQ(s.theme, ThemeMode::Dark);
        EXPECT_EQ(s.language, L"ja");
    }
}

TEST(SettingsTest, ValuesAreCheckedAndClampedOneByOne) {
    const struct {
        const char* line;
        std::int32_t SettingsData::*field;
        std::int32_t expected;
    } cases[] = {
        {"[clean]\ntempMinAgeHours=100000", &SettingsData::tempMinAgeHours, 8760},
        {"[clean]\ntempMinAgeHours=-5", &SettingsData::tempMinAgeHours, 0},
        {"[clean]\ntempMinAgeHours=12h", &SettingsData::tempMinAgeHours, 24},
        {"[clean]\ntempMinAgeHours=+7", &SettingsData::tempMinAgeHours, 7},
        {"[clean]\ntempMinAgeHours=1 2", &SettingsData::tempMinAgeHours, 24},
        {"[clean]\ntempMinAgeHours=-", &SettingsData::tempMinAgeHours, 24},
        {"[clean]\ntempMinAgeHours=", &SettingsData::tempMinAgeHours, 24},
        {"[clean]\ntempMinAgeHours=0x10", &SettingsData::tempMinAgeHours, 24},
        {"[clean]\nbigFilesMinSizeMB=0", &SettingsData::bigFilesMinSizeMB, 1},
        {"[clean]\nbigFilesMinSizeMB=99999999999999999999999999999999",
         &SettingsData::bigFilesMinSizeMB, 1048576},
        {"[clean]\nsocialMinAgeDays=-99999999999999999999999999999999",
         &SettingsData::socialMinAgeDays, 0},
        {"[clean]\nvideoMinAgeDays=4000", &SettingsData::videoMinAgeDays, 3650},
        {"[window]\nx=-40000", &SettingsData::windowX, -32767},
        {"[window]\ny=40000", &SettingsData::windowY, 32767},
        {"[window]\nwidth=-1", &SettingsData::windowWidth, 0},
        {"[window]\nheight=800", &SettingsData::windowHeight, 800},
        {"tempMinAgeHours=5", &SettingsData::tempMinAgeHours, 24},
        {"[window]\ntempMinAgeHours=5", &SettingsData::tempMinAgeHours, 24},
        {"[clean\ntempMinAgeHours=5", &SettingsData::tempMinAgeHours, 24},
        {"[clean]\n[window\ntempMinAgeHours=5", &SettingsData::tempMinAgeHours, 24},
        {"[ clean ]\n; tempMinAgeHours=5\n# x=1\ntempMinAgeHours=6", &SettingsData::tempMinAgeHours,
         6},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseSettings(c.line).*(c.field), c.expected) << c.line;
    }
}

TEST(SettingsTest, LanguageThemeModesAndFlags) {
    const struct {
        const char* value;
        const wchar_t* language;
    } languages[] = {{"PT-br", L"pt-PT"}, {"xx", L""},       {"ZH-cn", L"zh-CN"},
                     {"en-US", L""},      {"\xC3\x28", L""}, {"EN", L"en"}};
    for (const auto& c : languages) {
        EXPECT_EQ(ParseSettings(std::string("[general]\nlanguage=") + c.value).language, c.language)
            << c.value;
    }
    EXPECT_EQ(ParseSettings("[general]\ntheme=Dark").theme, ThemeMode::Dark);
    EXPECT_EQ(ParseSettings("[general]\ntheme=LIGHT").theme, ThemeMode::Light);
    EXPECT_EQ(ParseSettings("[general]\ntheme=blue").theme, ThemeMode::System);
    EXPECT_EQ(ParseSettings("[clean]\njunkDeleteMode=Recycle").junkDeleteMode, DeleteMode::Recycle);
    EXPECT_EQ(ParseSettings("[clean]\nbigFilesDeleteMode=PERMANENT").bigFilesDeleteMode,
              DeleteMode::Permanent);
    EXPECT_EQ(ParseSettings("[clean]\nsocialDeleteMode=trash").socialDeleteMode,
              DeleteMode::Recycle);
    for (const char* yes : {"true", "1", "Yes", "ON"}) {
        EXPECT_TRUE(
            ParseSettings(std::string("[clean]\ndeepScanForceWalk=") + yes).deepScanForceWalk);
    }
    for (const char* no : {"false", "0", "no", "Off"}) {
        EXPECT_FALSE(
            ParseSettings(std::string("[window]\nmaximized=1\nmaximized=") + no).windowMaximized);
    }
    EXPECT_TRUE(ParseSettings("[window]\nmaximized=1\nmaximized=maybe").windowMaximized);
}

TEST(SettingsTest, ExclusionsAreDistinctIgnoringCase) {
    const SettingsData s = ParseSettings(
        "[exclusions]\npath=C:\\Data\nother=c:\\data\nempty=\n=C:\\NoKey\npath=D:\\\xC3\xA9\n"
        "path=\xFF\xFE\npath=C:\\Data2");
    EXPECT_EQ(s.exclusions, (std::vector<std::wstring>{L"C:\\Data", L"D:\\\u00e9", L"C:\\Data2"}));
}

TEST(SettingsTest, DamagedInputGivesDefaultsOrTheValuesItHolds) {
    EXPECT_EQ(ParseSettings(""), SettingsData{});
    EXPECT_EQ(ParseSettings(std::string("\0\0\0", 3)), SettingsData{});
    // Saved as UTF-16 by an editor: nothing in it reads as a key.
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("[clean]\r\ntempMinAgeHours=5\r\n")) {
        utf16 += c;
        utf16 += '\0';
    }
    EXPECT_EQ(ParseSettings(utf16), SettingsData{});
    std::string binary;
    std::uint32_t state = 12345;
    for (int i = 0; i < 200000; ++i) {
        state = state * 1103515245u + 12345u;
        binary += static_cast<char>(state >> 24);
    }
    ParseSettings(binary);
    SettingsData full;
    full.language = L"fr";
    full.tempMinAgeHours = 48;
    full.exclusions = {L"C:\\Keep"};
    full.windowWidth = 900;
    const std::string text = SerializeSettings(full);
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        const SettingsData s = ParseSettings(text.substr(0, cut));
        EXPECT_TRUE(s.tempMinAgeHours == 24 || s.tempMinAgeHours == 48 || s.tempMinAgeHours == 4)
            << cut;
        EXPECT_TRUE(s.language.empty() || s.language == L"fr") << cut;
        EXPECT_LE(s.exclusions.size(), 1u) << cut;
    }
}

TEST(SettingsTest, ValuesThatWouldSpanLinesAreNotWritten) {
    SettingsData s;
    s.language = L"de\r\n[clean]\r\ntempMinAgeHours=1";
    s.exclusions = {L"C:\\a\r\n[window]\r\nwidth=5", L"C:\\b"};
    const SettingsData back = ParseSettings(SerializeSettings(s));
    EXPECT_EQ(back.language, L"");
    EXPECT_EQ(back.tempMinAgeHours, 24);
    EXPECT_EQ(back.windowWidth, 0);
    EXPECT_EQ(back.exclusions, std::vector<std::wstring>{L"C:\\b"});
}

TEST(SettingsTest, ReadSettingsFileTakesAtMostFourMebibytes) {
    test::ScratchDir scratch;
    std::string bytes = "x";
    EXPECT_FALSE(ReadSettingsFile(scratch.Sub(L"missing.ini"), bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(ReadSettingsFile(scratch.MakeDir(L"folder.ini"), bytes));
    EXPECT_FALSE(ReadSettingsFile(L"", bytes));
    EXPECT_TRUE(ReadSettingsFile(scratch.MakeFile(L"empty.ini"), bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_TRUE(ReadSettingsFile(scratch.MakeFileOfSize(L"max.ini", 4194304), bytes));
    EXPECT_EQ(bytes.size(), 4194304u);
    EXPECT_FALSE(ReadSettingsFile(scratch.MakeFileOfSize(L"over.ini", 4194305), bytes));
    const std::string text = SerializeSettings(SettingsData{});
    EXPECT_TRUE(ReadSettingsFile(scratch.MakeFile(L"s.ini", text), bytes));
    EXPECT_EQ(bytes, text);
}

TEST(SettingsTest, SaveReplacesTheFileWholeAndLeavesNoTemporaryFile) {
    test::ScratchDir scratch;
    const std::wstring ini = scratch.Sub(L"settings.ini");
    const std::wstring tmp = scratch.Sub(L"settings.ini.tmp");
    ASSERT_TRUE(WriteSettingsFileAtomically(scratch.Path(), "first"));
    EXPECT_EQ(test::ReadFileBytes(ini), "first");
    // A longer temporary file left by an earlier failure must not leak its tail.
    scratch.MakeFile(L"settings.ini.tmp", std::string(10000, 'z'));
    ASSERT_TRUE(WriteSettingsFileAtomically(scratch.Path(), "second"));
    EXPECT_EQ(test::ReadFileBytes(ini), "second");
    EXPECT_FALSE(test::FileExists(tmp));
}

TEST(SettingsTest, InterruptedSaveKeepsTheOldFileAndRemovesTheTemporaryOne) {
    test::ScratchDir scratch;
    const std::wstring ini = scratch.Sub(L"settings.ini");
    for (SaveStep failAt : {SaveStep::Opened, SaveStep::Written, SaveStep::Flushed}) {
        scratch.MakeFile(L"settings.ini", "old complete file");
        const bool saved = WriteSettingsFileAtomically(
            scratch.Path(), "new", [failAt](SaveStep step) { return step != failAt; });
        EXPECT_FALSE(saved);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_WRITE_FAULT));
        EXPECT_EQ(test::ReadFileBytes(ini), "old complete file");
        EXPECT_FALSE(test::FileExists(scratch.Sub(L"settings.ini.tmp")));
    }
}

TEST(SettingsTest, SaveRefusesATemporaryNameThatIsNotAPlainFileOfItsOwn) {
    test::ScratchDir scratch;
    const std::wstring ini = scratch.MakeFile(L"settings.ini", "old");
    const std::wstring folder = scratch.MakeDir(L"settings.ini.tmp");
    EXPECT_FALSE(WriteSettingsFileAtomically(scratch.Path(), "new"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(test::ReadFileBytes(ini), "old");
    EXPECT_TRUE(CreateDirectoryW(core::ToLongPath(folder).c_str(), nullptr) == FALSE &&
                GetLastError() == ERROR_ALREADY_EXISTS)
        << "the folder in the way is left alone";
    RemoveDirectoryW(core::ToLongPath(folder).c_str());

    // A second name of another file must neither be written through nor deleted.
    const std::wstring victim = scratch.MakeFile(L"victim.txt", "precious");
    ASSERT_TRUE(CreateHardLinkW(core::ToLongPath(scratch.Sub(L"settings.ini.tmp")).c_str(),
                                core::ToLongPath(victim).c_str(), nullptr));
    EXPECT_FALSE(WriteSettingsFileAtomically(scratch.Path(), "new"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(test::ReadFileBytes(victim), "precious");
    EXPECT_EQ(test::ReadFileBytes(ini), "old");
    EXPECT_TRUE(test::FileExists(scratch.Sub(L"settings.ini.tmp")));
}

TEST(SettingsTest, ConcurrentSavesLeaveOneCompleteFile) {
    test::ScratchDir scratch;
    const std::string a(50000, 'a');
    const std::string b(70000, 'b');
    std::vector<std::thread> threads;
    for (const std::string* content : {&a, &b, &a, &b}) {
        threads.emplace_back([&scratch, content] {
            for (int i = 0; i < 20; ++i) {
                EXPECT_TRUE(WriteSettingsFileAtomically(scratch.Path(), *content));
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    const auto result = test::ReadFileBytes(scratch.Sub(L"settings.ini"));
    EXPECT_TRUE(result == a || result == b);
    EXPECT_FALSE(test::FileExists(scratch.Sub(L"settings.ini.tmp")));
}

TEST(SettingsTest, SaveSettingsWritesTheProcessRecordIntoTheDataFolder) {
    const AppPaths saved = GetAppPaths();
    const SettingsData before = GetSettings();
    test::ScratchDir scratch;

    SetAppPaths({});
    EXPECT_EQ(SettingsPath(), L"");
    EXPECT_FALSE(SaveSettings());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    AppPaths paths;
    paths.dataFolder = scratch.Path();
    SetAppPaths(paths);
    SettingsData changed = GetSettings();
    changed.theme = ThemeMode::Light;
    changed.exclusions = {L"C:\\Keep"};
    SetSettings(changed);
    EXPECT_EQ(SettingsPath(), scratch.Sub(L"settings.ini"));
    EXPECT_TRUE(SaveSettings());
    std::string bytes;
    ASSERT_TRUE(ReadSettingsFile(SettingsPath(), bytes));
    EXPECT_EQ(ParseSettings(bytes), changed);

    // A failed save says why in the log and keeps the file as it was.
    scratch.MakeDir(L"settings.ini.tmp");
    core::Log& log = core::Log::Instance();
    log.Open(scratch.Sub(L"logs"));
    SettingsData again = changed;
    again.tempMinAgeHours = 1;
    SetSettings(again);
    EXPECT_FALSE(SaveSettings());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    const std::wstring logFile = log.CleanLogPathForToday();
    log.Close();
    log.Open(L"");
    const std::wstring appLog =
        core::ParentPath(logFile) + L"\\app_" + core::FileNamePart(logFile).substr(6);
    const std::string expected =
        "[ERROR] [" + std::to_string(GetCurrentThreadId()) +
        "] Saving settings failed (error 5): " + core::WideToUtf8(SettingsPath());
    EXPECT_NE(test::ReadFileBytes(appLog).value_or("").find(expected), std::string::npos);
    ASSERT_TRUE(ReadSettingsFile(SettingsPath(), bytes));
    EXPECT_EQ(ParseSettings(bytes), changed);

    SetSettings(before);
    SetAppPaths(saved);
}

}  // namespace
}  // namespace purvex::app
