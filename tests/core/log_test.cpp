#include "core/log.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

#include "core/fs/path_text.h"
#include "core/unique_handle.h"
#include "support/file_bytes.h"
#include "support/linux_symlink.h"
#include "support/scratch_dir.h"

namespace purvex::core {
namespace {

SYSTEMTIME At(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second, WORD ms) {
    SYSTEMTIME t{};
    t.wYear = year;
    t.wMonth = month;
    t.wDay = day;
    t.wHour = hour;
    t.wMinute = minute;
    t.wSecond = second;
    t.wMilliseconds = ms;
    return t;
}

LogClock FixedClock(const SYSTEMTIME& time) {
    return [time](SYSTEMTIME& out) { out = time; };
}

std::string Read(const std::wstring& path) {
    return test::ReadFileBytes(path).value_or("<missing>");
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

TEST(LogTest, AppLineHasTimeLevelThreadAndOneLineMessage) {
    test::ScratchDir scratch;
    Log log;
    log.SetClock(FixedClock(At(2026, 3, 9, 8, 7, 6, 5)));
    log.Open(scratch.Path());
    const struct {
        LogLevel level;
        const char* name;
    } levels[] = {{LogLevel::Debug, "DEBUG"},
                  {LogLevel::Info, "INFO"},
                  {LogLevel::Warn, "WARN"},
                  {LogLevel::Error, "ERROR"}};
    for (const auto& level : levels) {
        log.Write(level.level, L"junk: one\r\ntwo \u00e9");
    }
    log.Flush();
    const std::string thread = std::to_string(GetCurrentThreadId());
    std::string expected;
    for (const auto& level : levels) {
        expected += std::string("2026-03-09 08:07:06.005 [") + level.name + "] [" + thread +
                    "] junk: one  two \xC3\xA9\r\n";
    }
    EXPECT_EQ(Read(scratch.Sub(L"app_20260309.log")), expected);
}

TEST(LogTest, WarningsReachTheDiskWithoutAFlush) {
    test::ScratchDir scratch;
    Log log;
    log.SetClock(FixedClock(At(2026, 3, 9, 12, 0, 0, 0)));
    log.Open(scratch.Path());
    log.Write(LogLevel::Warn, L"safety: refused");
    EXPECT_NE(Read(scratch.Sub(L"app_20260309.log")).find("[WARN]"), std::string::npos);
}

TEST(LogTest, LinesAroundMidnightLandInTheFilesOfTheirOwnDays) {
    test::ScratchDir scratch;
    Log log;
    log.SetClock(FixedClock(At(2026, 12, 31, 23, 59, 59, 999)));
    log.Open(scratch.Path());
    log.Write(LogLevel::Info, L"late");
    log.WriteClean(L"C:\\a", 1, DeleteOutcome::Deleted, 0);
    log.SetClock(FixedClock(At(2027, 1, 1, 0, 0, 0, 0)));
    log.Write(LogLevel::Info, L"early");
    log.WriteClean(L"C:\\b", 2, DeleteOutcome::Deleted, 0);
    log.Close();
    const std::string before = Read(scratch.Sub(L"app_20261231.log"));
    const std::string after = Read(scratch.Sub(L"app_20270101.log"));
    EXPECT_NE(before.find("23:59:59.999"), std::string::npos);
    EXPECT_EQ(before.find("early"), std::string::npos);
    EXPECT_NE(after.find("early"), std::string::npos);
    EXPECT_EQ(after.find("late"), std::string::npos);
    EXPECT_EQ(Lines(Read(scratch.Sub(L"clean_20261231.log"))).size(), 1u);
    EXPECT_EQ(Lines(Read(scratch.Sub(L"clean_20270101.log"))).size(), 1u);
}

TEST(LogTest, CleanLineIsTabSeparatedAndNamesEveryOutcome) {
    test::ScratchDir scratch;
    Log log;
    log.SetClock(FixedClock(At(2026, 3, 9, 1, 2, 3, 40)));
    log.Open(scratch.Path());
    const std::wstring path = log.CleanLogPathForToday();
    EXPECT_EQ(path, scratch.Sub(L"clean_20260309.log"));
    log.WriteClean(L"C:\\t\\\u00fc.tmp", 18446744073709551615ull, DeleteOutcome::InUse, 32);
    log.WriteClean(L"C:\\x", 0, static_cast<DeleteOutcome>(12), 4294967295u);
    log.WriteClean(L"C:\\y", 5, DeleteOutcome::ScheduledOnReboot, 0);
    log.Flush();
    EXPECT_EQ(Read(path),
              "2026-03-09 01:02:03.040\tInUse\t18446744073709551615\t32\tC:\\t\\\xC3\xBC.tmp\r\n"
              "2026-03-09 01:02:03.040\tUnknown\t0\t4294967295\tC:\\x\r\n"
              "2026-03-09 01:02:03.040\tScheduledOnReboot\t5\t0\tC:\\y\r\n");
    EXPECT_FALSE(test::FileExists(scratch.Sub(L"app_20260309.log")));
}

TEST(LogTest, UnusableFolderLeavesLoggingOffAndCreatesNothing) {
    test::ScratchDir scratch;
    const std::wstring blocker = scratch.MakeFile(L"blocker", "x");
    for (const std::wstring& folder : {std::wstring(), blocker, blocker + L"\\logs"}) {
        Log log;
        log.Open(folder);
        EXPECT_FALSE(log.IsEnabled());
        log.Write(LogLevel::Error, L"dropped");
        log.WriteClean(L"C:\\x", 1, DeleteOutcome::Deleted, 0);
        log.RemoveOldFiles();
        log.Close();
        EXPECT_TRUE(log.CleanLogPathForToday().empty());
    }
    EXPECT_EQ(Read(blocker), "x");
}

TEST(LogTest, ReopeningMovesLoggingToTheNewFolder) {
    test::ScratchDir scratch;
    Log log;
    log.SetClock(FixedClock(At(2026, 3, 9, 0, 0, 0, 0)));
    log.Open(scratch.Sub(L"one"));
    log.Write(LogLevel::Info, L"first");
    log.Open(scratch.Sub(L"two\\nested"));
    log.Write(LogLevel::Info, L"second");
    log.Close();
    EXPECT_NE(Read(scratch.Sub(L"one\\app_20260309.log")).find("first"), std::string::npos);
    const std::string two = Read(scratch.Sub(L"two\\nested\\app_20260309.log"));
    EXPECT_NE(two.find("second"), std::string::npos);
    EXPECT_EQ(two.find("first"), std::string::npos);
}

TEST(LogTest, ConcurrentWritersKeepEveryLineWholeAndInOrder) {
    test::ScratchDir scratch;
    Log log;
    log.SetClock(FixedClock(At(2026, 3, 9, 0, 0, 0, 0)));
    log.Open(scratch.Path());
    constexpr int kThreads = 4;
    constexpr int kLines = 3000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&log, t] {
            for (int i = 0; i < kLines; ++i) {
                log.Write(LogLevel::Info, L"w" + std::to_wstring(t) + L" " + std::to_wstring(i));
                log.WriteClean(L"C:\\w" + std::to_wstring(t) + L"\\" + std::to_wstring(i), i,
                               DeleteOutcome::Deleted, 0);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    log.Close();
    int next[kThreads] = {};
    const auto appLines = Lines(Read(scratch.Sub(L"app_20260309.log")));
    ASSERT_EQ(appLines.size(), std::size_t(kThreads * kLines));
    for (const std::string& line : appLines) {
        const std::size_t at = line.find("] w");
        ASSERT_NE(at, std::string::npos) << line;
        const int t = line[at + 3] - '0';
        ASSERT_TRUE(t >= 0 && t < kThreads) << line;
        EXPECT_EQ(line.substr(at + 5), std::to_string(next[t]++)) << line;
    }
    EXPECT_EQ(Lines(Read(scratch.Sub(L"clean_20260309.log"))).size(),
              std::size_t(kThreads * kLines));
}

void SetAge(const std::wstring& path, int days) {
    UniqueFile file(CreateFileW(ToLongPath(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(file.Valid());
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{};
    t.LowPart = now.dwLowDateTime;
    t.HighPart = now.dwHighDateTime;
    t.QuadPart -= std::uint64_t(days) * 24 * 3600 * 10'000'000;
    const FILETIME then{t.LowPart, t.HighPart};
    ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &then));
}

TEST(LogTest, RetentionDeletesOnlyOwnFilesOlderThanThirtyDays) {
    test::ScratchDir scratch;
    const struct {
        const wchar_t* name;
        int ageDays;
        bool removed;
    } files[] = {
        {L"app_20250101.log", 31, true},    {L"CLEAN_20250101.LOG", 45, true},
        {L"app_notes.txt", 31, false},      {L"other.log", 31, false},
        {L"clean_20260101.log", 29, false}, {L"app_recent.log", 0, false},
    };
    for (const auto& f : files) {
        SetAge(scratch.MakeFile(f.name, "old"), f.ageDays);
    }
    SetAge(scratch.MakeDir(L"app_folder.log"), 40);

    Log log;
    log.SetClock(FixedClock(At(2026, 3, 9, 0, 0, 0, 0)));
    log.Open(scratch.Path());
    log.RemoveOldFiles();
    log.Close();
    for (const auto& f : files) {
        EXPECT_EQ(test::FileExists(scratch.Sub(f.name)), !f.removed) << f.name;
    }
    EXPECT_NE(Read(scratch.Sub(L"app_20260309.log"))
                  .find("[INFO] [" + std::to_string(GetCurrentThreadId()) +
                        "] Removed 2 log file(s) older than 30 days"),
              std::string::npos);
}

TEST(LogTest, RetentionLeavesALinkedLogsFolderAlone) {
    test::ScratchDir scratch;
    const std::wstring old = scratch.MakeFile(L"real\\app_20250101.log", "old");
    SetAge(old, 60);
    test::LinuxSymlink link(scratch, L"logs", L"real");
    if (!link.Made()) {
        GTEST_SKIP() << link.Why();
    }
    const DWORD attributes = GetFileAttributesW(ToLongPath(scratch.Sub(L"logs")).c_str());
    Log log;
    log.Open(scratch.Sub(L"logs"));
    log.RemoveOldFiles();
    log.Open(L"");
    ASSERT_NE(attributes & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
    EXPECT_TRUE(test::FileExists(old));
}

TEST(LogTest, FreeFunctionsWriteThroughTheProcessLog) {
    test::ScratchDir scratch;
    Log& log = Log::Instance();
    log.SetClock(FixedClock(At(2026, 3, 9, 0, 0, 0, 0)));
    log.Open(scratch.Path());
    LogWrite(LogLevel::Info, L"shell: hello");
    CleanLogWrite(L"C:\\gone", 3, DeleteOutcome::Recycled, 0);
    log.Close();
    log.Open(L"");
    log.SetClock({});
    EXPECT_NE(Read(scratch.Sub(L"app_20260309.log")).find("shell: hello"), std::string::npos);
    EXPECT_NE(Read(scratch.Sub(L"clean_20260309.log")).find("\tRecycled\t3\t0\tC:\\gone"),
              std::string::npos);
}

}  // namespace
}  // namespace purvex::core
