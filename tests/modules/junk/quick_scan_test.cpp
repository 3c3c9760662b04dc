#include "modules/junk/quick_scan.h"

#include <windows.h>

#include <aclapi.h>

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/settings.h"
#include "core/fs/paths.h"
#include "core/safety/safety_policy.h"
#include "core/system_time.h"
#include "core/unique_handle.h"
#include "fixture_profile.h"
#include "modules/junk/junk_catalog.h"
#include "modules/junk/junk_scan.h"
#include "support/file_holder.h"
#include "support/linux_symlink.h"
#include "support/log_capture.h"
#include "support/scratch_dir.h"

namespace purvex::junk {
namespace {

using Listing = std::vector<std::pair<std::wstring, std::uint64_t>>;

// Largest first, equal sizes by path: the order a group must list its files in.
void SortLikeAGroup(Listing& files) {
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
}

// What each group must hold, derived from the fixture's own table.
std::map<std::string, Listing> ExpectedGroups(const test::ScratchDir& scratch) {
    std::map<std::string, Listing> groups;
    for (const profile::ProfileFile& file : profile::ProfileFiles()) {
        if (file.group != nullptr) {
            groups[file.group].emplace_back(scratch.Sub(file.relative), file.size);
        }
    }
    for (auto& [id, files] : groups) {
        SortLikeAGroup(files);
    }
    return groups;
}

Listing ItemsOf(const JunkGroup& group) {
    Listing items;
    for (const core::FileEntry& item : group.items) {
        items.emplace_back(item.path, item.size);
    }
    return items;
}

// A plain low-risk category over the given locations.
JunkCategory Category(std::string_view id, std::vector<JunkLocation> locations,
                      AgeRule age = AgeRule::None) {
    JunkCategory category;
    category.id = id;
    category.risk = core::Risk::Low;
    category.defaultSelected = true;
    category.ageRule = age;
    category.locations = std::move(locations);
    return category;
}

class QuickScanTest : public ::testing::Test {
protected:
    void SetUp() override {
        now = core::SystemFileTimeNow();
        profile::MakeProfile(scratch, now);
        core::SafetyPolicy::Instance().SetUserExclusions({scratch.Sub(profile::kExcludedFolder)});
    }
    void TearDown() override { core::SafetyPolicy::Instance().SetUserExclusions({}); }

    test::ScratchDir scratch;
    std::uint64_t now = 0;
};

TEST_F(QuickScanTest, ProfileYieldsExactlyTheQualifyingFilesInCatalogOrder) {
    test::LinuxSymlink link(scratch, profile::kLinkInTemp, profile::kLinkTarget);
    ASSERT_TRUE(link.Made()) << link.Why();
    test::FileHolder holder(scratch.Sub(profile::kLockedFile));
    ASSERT_TRUE(holder.Holding());

    std::vector<std::wstring> covered;
    QuickScanOptions options = profile::ProfileOptions(scratch, now);
    options.coveredRoots = &covered;
    core::Progress last;
    core::CancelToken cancel;
    const std::vector<JunkGroup> groups =
        RunQuickScan(options, cancel, [&](const core::Progress& p) { last = p; });

    const std::map<std::string, Listing> expected = ExpectedGroups(scratch);
    std::vector<std::string> expectedOrder;
    for (const JunkCategory& category : BuiltinJunkCatalog()) {
        if (expected.count(std::string(category.id)) != 0 || category.isRecycleBin) {
            expectedOrder.emplace_back(category.id);
        }
    }
    std::vector<std::string> order;
    for (const JunkGroup& group : groups) {
        order.push_back(group.id);
    }
    ASSERT_EQ(order, expectedOrder);

    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
    for (const JunkGroup& group : groups) {
        SCOPED_TRACE(group.id);
        if (group.isRecycleBin) {
            EXPECT_EQ(group.totalBytes, profile::kRecycleBinSize);
            EXPECT_EQ(group.recycleCount, profile::kRecycleBinCount);
            EXPECT_TRUE(group.items.empty());
            continue;
        }
        const Listing& want = expected.at(group.id);
        EXPECT_EQ(ItemsOf(group), want);
        std::uint64_t sum = 0;
        for (const auto& [path, size] : want) {
            sum += size;
        }
        EXPECT_EQ(group.totalBytes, sum);
        ASSERT_EQ(group.itemRoots.size(), group.items.size());
        for (std::size_t i = 0; i < group.items.size(); ++i) {
            ASSERT_LT(group.itemRoots[i], group.roots.size());
            EXPECT_TRUE(core::IsUnder(group.items[i].path, group.roots[group.itemRoots[i]]))
                << group.items[i].path;
        }
        for (const std::wstring& root : group.roots) {
            EXPECT_NE(std::find(covered.begin(), covered.end(), root), covered.end()) << root;
        }
        files += group.items.size();
        bytes += sum;
    }

    // %TEMP% and the profile list both reach bob's temp folder: one root, each file once.
    const JunkGroup& temp = groups.front();
    ASSERT_EQ(temp.roots.size(), 3u);
    EXPECT_TRUE(core::PathEquals(temp.roots[0], scratch.Sub(L"Users\\bob\\AppData\\Local\\Temp")));
    EXPECT_TRUE(core::PathEquals(temp.roots[1], scratch.Sub(L"Windows\\Temp")));
    EXPECT_TRUE(
        core::PathEquals(temp.roots[2], scratch.Sub(L"Users\\alice\\AppData\\Local\\Temp")));

    EXPECT_EQ(last.fraction, 1.0);
    EXPECT_TRUE(last.current.empty());
    EXPECT_EQ(last.items, files);
    EXPECT_EQ(last.bytes, bytes);
}

TEST_F(QuickScanTest, OverlappingCategoriesKeepEachFileInTheEarlierOne) {
    scratch.MakeFile(L"Windows\\Temp\\b-same.dat", std::string(64, 'b'));
    scratch.MakeFile(L"Windows\\Temp\\a-same.dat", std::string(64, 'a'));
    const std::vector<JunkCategory> catalog = {
        Category("x.first", {{L"%TEMP%", L"*.tmp", true}}),
        Category("x.second",
                 {{L"%LOCALAPPDATA%\\Temp", L"", true}, {L"%SystemRoot%\\Temp", L"", false}}),
        // Nested inside the first category's folder: everything there is taken already.
        Category("x.nested", {{L"%TEMP%\\sub", L"", true}}),
    };
    QuickScanOptions options = profile::ProfileOptions(scratch, now);
    options.catalog = &catalog;
    core::CancelToken cancel;
    const std::vector<JunkGroup> groups = RunQuickScan(options, cancel, {});

    const std::wstring bobTemp = L"Users\\bob\\AppData\\Local\\Temp\\";
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(ItemsOf(groups[0]), (Listing{{scratch.Sub(bobTemp + L"sub\\old-b.tmp"), 2000},
                                           {scratch.Sub(bobTemp + L"old-a.tmp"), 1000},
                                           {scratch.Sub(bobTemp + L"locked.tmp"), 400},
                                           {scratch.Sub(bobTemp + L"fresh.tmp"), 10},
                                           {scratch.Sub(bobTemp + L"empty.tmp"), 0}}));
    EXPECT_EQ(ItemsOf(groups[1]), (Listing{{scratch.Sub(L"Windows\\Temp\\setup.log"), 300},
                                           {scratch.Sub(L"Windows\\Temp\\a-same.dat"), 64},
                                           {scratch.Sub(L"Windows\\Temp\\b-same.dat"), 64},
                                           {scratch.Sub(L"Windows\\Temp\\new.log"), 50}}));
    EXPECT_EQ(groups[1].roots.size(), 2u);
    EXPECT_EQ(groups[1].itemRoots, (std::vector<std::uint32_t>{1, 1, 1, 1}));
}

TEST_F(QuickScanTest, TempAgeSettingDecidesWhichTempFilesQualify) {
    const std::wstring folder = scratch.MakeDir(L"aged");
    const struct {
        const wchar_t* name;
        std::int64_t ageHours;  // negative: written in the future
    } files[] = {{L"23h.tmp", 23}, {L"24h.tmp", 24}, {L"future.tmp", -1}};
    for (const auto& file : files) {
        const std::wstring path = scratch.MakeFile(std::wstring(L"aged\\") + file.name, "x");
        profile::SetWriteTime(path,
                              now - file.ageHours * static_cast<std::int64_t>(profile::kHour));
    }
    const std::vector<JunkCategory> catalog = {
        Category("x.aged", {{folder, L"", true}}, AgeRule::TempSetting),
    };
    const struct {
        std::uint32_t setting;
        std::vector<std::wstring> taken;
    } cases[] = {
        {0, {L"23h.tmp", L"24h.tmp", L"future.tmp"}},
        {24, {L"24h.tmp"}},
        {1, {L"23h.tmp", L"24h.tmp"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setting);
        QuickScanOptions options = profile::ProfileOptions(scratch, now);
        options.catalog = &catalog;
        options.tempMinAgeHours = c.setting;
        core::CancelToken cancel;
        const std::vector<JunkGroup> groups = RunQuickScan(options, cancel, {});
        ASSERT_EQ(groups.size(), 1u);
        std::vector<std::wstring> names;
        for (const core::FileEntry& item : groups[0].items) {
            names.push_back(core::FileNamePart(item.path));
        }
        EXPECT_EQ(names, c.taken);
    }
}

TEST(QuickScanRecycleBinTest, GroupOnlyWhenTheQueryFindsSomething) {
    const std::vector<JunkCategory> catalog = {
        {"junk.recyclebin", "", "", 24, core::Risk::High, false, true, AgeRule::None, 0, {}, {}},
    };
    const struct {
        bool ok;
        std::uint64_t size;
        std::uint64_t count;
        bool listed;
    } cases[] = {
        {true, 1000, 2, true},
        {true, 0, 1, true},
        {true, 0, 0, false},
        {false, 1000, 2, false},
    };
    for (const auto& c : cases) {
        QuickScanOptions options;
        options.catalog = &catalog;
        options.queryRecycleBin = [&c](std::uint64_t& size, std::uint64_t& count) {
            size = c.size;
            count = c.count;
            return c.ok;
        };
        core::CancelToken cancel;
        const std::vector<JunkGroup> groups = RunQuickScan(options, cancel, {});
        ASSERT_EQ(groups.size(), c.listed ? 1u : 0u) << c.ok << " " << c.size << " " << c.count;
        if (c.listed) {
            EXPECT_TRUE(groups[0].isRecycleBin);
            EXPECT_EQ(groups[0].totalBytes, c.size);
            EXPECT_EQ(groups[0].recycleCount, c.count);
        }
    }
}

TEST_F(QuickScanTest, FolderTheScanMayNotEnterIsPassedOver) {
    const std::wstring denied = scratch.MakeDir(L"Windows\\Temp\\denied");
    profile::SetWriteTime(scratch.MakeFile(L"Windows\\Temp\\denied\\secret.tmp", "secret"),
                          now - 48 * profile::kHour);
    ACL empty{};
    ASSERT_TRUE(InitializeAcl(&empty, sizeof(empty), ACL_REVISION));
    std::wstring name = core::ToLongPath(denied);
    const DWORD set =
        SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT,
                              DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, &empty, nullptr);
    WIN32_FIND_DATAW data{};
    core::UniqueFind probe(FindFirstFileW(core::ToLongPath(denied + L"\\*").c_str(), &data));
    const bool stillListable = static_cast<bool>(probe);
    probe.Reset();
    if (set != ERROR_SUCCESS || stillListable) {
        SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, nullptr, nullptr);
        GTEST_SKIP() << "access to a folder cannot be denied here (Wine maps a DACL to Unix "
                        "permissions and the tests run as root)";
    }

    const std::vector<JunkCategory> catalog = {
        Category("x.temp", {{L"%SystemRoot%\\Temp", L"", true}}),
    };
    QuickScanOptions options = profile::ProfileOptions(scratch, now);
    options.catalog = &catalog;
    core::CancelToken cancel;
    const std::vector<JunkGroup> groups = RunQuickScan(options, cancel, {});
    SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                          nullptr, nullptr);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(ItemsOf(groups[0]), (Listing{{scratch.Sub(L"Windows\\Temp\\setup.log"), 300},
                                           {scratch.Sub(L"Windows\\Temp\\new.log"), 50}}));
}

class JunkScanTest : public QuickScanTest {
protected:
    void SetUp() override {
        QuickScanTest::SetUp();
        saved = app::GetSettings();
        app::SettingsData settings = saved;
        settings.tempMinAgeHours = 24;
        app::SetSettings(settings);
        setup.quick = profile::ProfileOptions(scratch, now);
    }
    void TearDown() override {
        app::SetSettings(saved);
        QuickScanTest::TearDown();
    }

    app::SettingsData saved;
    JunkScanSetup setup;
};

TEST_F(JunkScanTest, QuickScanStampsTheResultAndLogsItsSummary) {
    test::LogCapture log;
    core::CancelToken cancel;
    const std::uint64_t before = MonotonicNanoseconds();
    const auto result = RunJunkScan(ScanKind::Quick, setup, cancel, {});
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->kind, ScanKind::Quick);
    EXPECT_EQ(result->engine, ScanEngine::None);
    EXPECT_EQ(result->notice, ScanNotice::None);
    EXPECT_GE(result->finishedAt, before);
    EXPECT_GE(result->scannedAt, now);

    std::uint64_t items = profile::kRecycleBinCount;
    std::uint64_t bytes = profile::kRecycleBinSize;
    for (const auto& [id, files] : ExpectedGroups(scratch)) {
        items += files.size();
        for (const auto& [path, size] : files) {
            bytes += size;
        }
    }
    EXPECT_EQ(result->groups.size(), ExpectedGroups(scratch).size() + 1);
    const std::string summary = "junk: quick scan found " + std::to_string(items) + " items, " +
                                std::to_string(bytes) + " bytes in " +
                                std::to_string(result->groups.size()) + " groups (";
    EXPECT_EQ(log.CountContaining(summary, " ms, engine none)"), 1) << summary;
}

TEST_F(JunkScanTest, CancelDuringTheWalksLeavesNoResultAndNoLogLine) {
    test::LogCapture log;
    core::CancelToken cancel;
    const auto result = RunJunkScan(ScanKind::Quick, setup, cancel,
                                    [&](const core::Progress&) { cancel.Cancel(); });
    EXPECT_EQ(result, nullptr);
    EXPECT_EQ(log.CountContaining("junk: quick scan found"), 0);
}

// The machine's own drive as Wine lays it out: the scan must finish and log its summary.
TEST(JunkScanSystemTest, RealQuickScanLogsItsSummaryLine) {
    test::LogCapture log;
    core::CancelToken cancel;
    const auto result = RunJunkScan(ScanKind::Quick, cancel, {});
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(log.CountContaining("junk: quick scan found", " ms, engine none)"), 1);
}

}  // namespace
}  // namespace purvex::junk
