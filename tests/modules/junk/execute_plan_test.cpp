#include "modules/junk/execute_plan.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/fs/directory.h"
#include "core/fs/paths.h"
#include "core/fs/walker.h"
#include "core/log.h"
#include "core/safety/safety_policy.h"
#include "core/system_time.h"
#include "core/text.h"
#include "fixture_profile.h"
#include "modules/junk/clean_plan.h"
#include "modules/junk/prune_scan_result.h"
#include "modules/junk/quick_scan.h"
#include "support/file_bytes.h"
#include "support/file_holder.h"
#include "support/linux_symlink.h"
#include "support/log_capture.h"
#include "support/scratch_dir.h"

namespace purvex::junk {
namespace {

// Every file under a folder with its size and a hash of its bytes; links are not entered.
std::map<std::wstring, std::pair<std::uint64_t, std::size_t>> HashListing(
    const std::wstring& folder) {
    std::map<std::wstring, std::pair<std::uint64_t, std::size_t>> listing;
    core::CancelToken cancel;
    core::Walk(
        folder, core::WalkOptions{},
        [&](const core::FileEntry& entry) {
            if ((entry.attributes & 0x410) == 0) {
                const auto bytes = test::ReadFileBytes(entry.path);
                listing[entry.path] = {entry.size, bytes ? std::hash<std::string>{}(*bytes) : 0};
            }
            return true;
        },
        cancel);
    return listing;
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab = line.find('\t'); tab != std::string::npos;
         tab = line.find('\t', start)) {
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    fields.push_back(line.substr(start));
    return fields;
}

TEST(ExecutePlanTest, ScanThenCleanRemovesExactlyTheSelectedFiles) {
    test::ScratchDir scratch;
    const std::uint64_t now = core::SystemFileTimeNow();
    profile::MakeProfile(scratch, now);
    test::LinuxSymlink link(scratch, profile::kLinkInTemp, profile::kLinkTarget);
    ASSERT_TRUE(link.Made()) << link.Why();
    core::SafetyPolicy::Instance().SetUserExclusions({scratch.Sub(profile::kExcludedFolder)});

    ScanResult result;
    core::CancelToken scanCancel;
    result.groups = RunQuickScan(profile::ProfileOptions(scratch, now), scanCancel, {});
    result.finishedAt = MonotonicNanoseconds();

    const std::wstring temp = L"Users\\bob\\AppData\\Local\\Temp\\";
    const std::set<std::wstring> chosen = {
        core::FoldCase(scratch.Sub(temp + L"old-a.tmp")),
        core::FoldCase(scratch.Sub(temp + L"sub\\old-b.tmp")),
        core::FoldCase(scratch.Sub(temp + L"empty.tmp")),
        core::FoldCase(scratch.Sub(profile::kLockedFile)),
        core::FoldCase(scratch.Sub(L"Windows\\Temp\\setup.log")),
        core::FoldCase(scratch.Sub(
            L"Users\\bob\\AppData\\Local\\Microsoft\\Windows\\Explorer\\thumbcache_96.db")),
        core::FoldCase(scratch.Sub(L"Users\\bob\\AppData\\Local\\Google\\Chrome\\User "
                                   L"Data\\Default\\Cache\\Cache_Data\\data_0")),
        core::FoldCase(scratch.Sub(L"Windows\\MEMORY.DMP")),
    };
    JunkSelection selection(result.groups.size());
    for (std::size_t g = 0; g < result.groups.size(); ++g) {
        for (const core::FileEntry& item : result.groups[g].items) {
            selection[g].items.push_back(chosen.count(core::FoldCase(item.path)) != 0);
        }
    }
    const CleanPlan plan = BuildSelectionPlan(result, selection);
    ASSERT_EQ(plan.requests.size(), chosen.size());
    EXPECT_FALSE(plan.emptyRecycleBin);

    const auto before = HashListing(scratch.Path());
    test::LogCapture log;
    core::DeleteReport report;
    {
        test::FileHolder holder(scratch.Sub(profile::kLockedFile));
        ASSERT_TRUE(holder.Holding());
        core::CancelToken cancel;
        bool binTouched = false;
        report = ExecutePlan(plan, core::DeleteMode::Permanent, cancel, {},
                             [&](std::uint64_t*) { return binTouched = true; });
        EXPECT_FALSE(binTouched);
    }
    const auto after = HashListing(scratch.Path());
    core::SafetyPolicy::Instance().SetUserExclusions({});

    // Everything chosen is gone except the file held open; everything else is untouched.
    auto expectedAfter = before;
    std::uint64_t expectedBytes = 0;
    for (const auto& [path, sizeAndHash] : before) {
        if (chosen.count(core::FoldCase(path)) != 0 &&
            !core::PathEquals(path, scratch.Sub(profile::kLockedFile))) {
            expectedAfter.erase(path);
            expectedBytes += sizeAndHash.first;
        }
    }
    EXPECT_EQ(after, expectedAfter);
    EXPECT_EQ(report.removedCount, chosen.size() - 1);
    EXPECT_EQ(report.failedCount, 1u);
    EXPECT_EQ(report.bytesFreed, expectedBytes);
    ASSERT_EQ(report.items.size(), chosen.size());

    // The clean log holds one line per item with the same outcome and bytes; the only other
    // lines are the emptied folders the deleter removed above deleted files.
    core::Log::Instance().Flush();
    const auto text = test::ReadFileBytes(core::Log::Instance().CleanLogPathForToday());
    ASSERT_TRUE(text.has_value());
    std::map<std::string, std::vector<std::string>> logged;
    for (const std::string& line : test::SplitLines(*text)) {
        std::vector<std::string> fields = SplitTabs(line);
        ASSERT_EQ(fields.size(), 5u) << line;
        const std::string path = fields[4];
        ASSERT_TRUE(logged.emplace(path, std::move(fields)).second) << line;
    }
    std::uint64_t loggedBytes = 0;
    std::uint32_t loggedRemoved = 0;
    for (const core::DeleteItemResult& item : report.items) {
        const auto it = logged.find(core::WideToUtf8(item.path));
        ASSERT_NE(it, logged.end()) << core::WideToUtf8(item.path);
        EXPECT_EQ(it->second[1], core::DeleteOutcomeName(item.outcome));
        EXPECT_EQ(it->second[2], std::to_string(item.bytes));
        if (core::CountsAsRemoved(item.outcome)) {
            ++loggedRemoved;
        }
        if (core::FreesBytes(item.outcome)) {
            loggedBytes += std::stoull(it->second[2]);
        }
        logged.erase(it);
    }
    EXPECT_EQ(loggedRemoved, report.removedCount);
    EXPECT_EQ(loggedBytes, report.bytesFreed);
    for (const auto& [path, fields] : logged) {
        EXPECT_EQ(fields[1], "Deleted");
        EXPECT_EQ(fields[2], "0");
        EXPECT_FALSE(core::DirectoryExists(core::Utf8ToWide(path))) << path;
    }
    EXPECT_EQ(logged.size(), 2u);  // Temp\sub and Cache\Cache_Data

    // The pruned result lists only what is left: the held file stays in its group.
    const auto pruned = PruneScanResult(result, report);
    const JunkGroup& tempGroup = pruned->groups.front();
    ASSERT_EQ(tempGroup.id, "junk.temp");
    ASSERT_EQ(tempGroup.items.size(), 2u);
    EXPECT_EQ(tempGroup.items[0].path,
              scratch.Sub(L"Users\\alice\\AppData\\Local\\Temp\\alice.tmp"));
    EXPECT_EQ(tempGroup.items[1].path, scratch.Sub(profile::kLockedFile));
    EXPECT_EQ(tempGroup.totalBytes, 1100u);
    EXPECT_EQ(pruned->finishedAt, result.finishedAt);
}

}  // namespace
}  // namespace purvex::junk
