#include "modules/junk/deep_scan.h"

#include <windows.h>

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "app/settings.h"
#include "core/fs/ntfs/path_index_cache.h"
#include "core/fs/ntfs/path_index_impl.h"
#include "core/fs/ntfs/volume.h"
#include "core/fs/path_text.h"
#include "core/fs/paths.h"
#include "core/safety/ownership.h"
#include "core/safety/safety_policy.h"
#include "core/system_time.h"
#include "core/text.h"
#include "fixture_profile.h"
#include "modules/junk/deep_engine.h"
#include "modules/junk/junk_scan.h"
#include "support/linux_symlink.h"
#include "support/log_capture.h"
#include "support/ntfs_images.h"
#include "support/scratch_dir.h"

namespace purvex::junk {
namespace {

using Listing = std::vector<std::pair<std::wstring, std::uint64_t>>;

// The "profile" image's files were written on 2020-01-01 (old) or 2020-01-10 00:00 UTC
// (fresh); the scans run one hour after the fresh ones with a 24-hour minimum age.
constexpr std::uint64_t kProfileNow = (1578614400ull + 3600 + 11644473600ull) * 10'000'000ull;

// The image's index records one of a hard link's two names; either stands for the file.
std::wstring OneLinkName(std::wstring path) {
    const std::wstring other = L"linked-b.bin";
    if (path.size() >= other.size() &&
        path.compare(path.size() - other.size(), other.size(), other) == 0) {
        path.replace(path.size() - other.size(), other.size(), L"linked-a.bin");
    }
    return path;
}

Listing ItemsOf(const JunkGroup& group) {
    Listing items;
    for (const core::FileEntry& item : group.items) {
        items.emplace_back(OneLinkName(item.path), item.size);
    }
    return items;
}

std::shared_ptr<const core::PathIndex> ProfileIndex() {
    DWORD error = 0;
    core::ntfs::Volume volume(
        core::ntfs::Volume::Open(core::ToLongPath(test::NtfsImagePath("profile")), error));
    EXPECT_EQ(error, 0u);
    const auto geometry = test::ReadGeometry(volume);
    if (!geometry) {
        ADD_FAILURE() << "the profile image has no NTFS geometry";
        return nullptr;
    }
    core::CancelToken cancel;
    core::MftStatus status = core::MftStatus::IoError;
    std::shared_ptr<const core::PathIndex> index =
        core::ntfs::BuildPathIndex(volume, *geometry, L'C', cancel, nullptr, &status);
    EXPECT_EQ(status, core::MftStatus::Ok);
    return index;
}

struct ExpectedGroup {
    std::wstring location;
    std::wstring label;
    core::Risk risk;
    std::vector<std::wstring> roots;
    Listing items;
};

void ExpectGroups(const std::vector<JunkGroup>& groups, const std::vector<ExpectedGroup>& want) {
    ASSERT_EQ(groups.size(), want.size());
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const JunkGroup& group = groups[i];
        const ExpectedGroup& expected = want[i];
        SCOPED_TRACE(core::WideToUtf8(expected.location));
        EXPECT_EQ(group.location, expected.location);
        EXPECT_EQ(group.id, "junk.deep." + core::WideToUtf8(core::FoldCase(expected.location)));
        EXPECT_EQ(group.label, expected.label);
        EXPECT_EQ(group.nameKey, "junk.deep.group");
        EXPECT_EQ(group.descKey, "junk.deep.desc");
        EXPECT_TRUE(group.isDeep);
        EXPECT_EQ(group.risk, expected.risk);
        EXPECT_EQ(group.defaultSelected, expected.risk == core::Risk::Low);
        EXPECT_EQ(std::set<std::wstring>(group.roots.begin(), group.roots.end()),
                  std::set<std::wstring>(expected.roots.begin(), expected.roots.end()));
        EXPECT_EQ(group.roots.size(), expected.roots.size());
        EXPECT_EQ(ItemsOf(group), expected.items);
        std::uint64_t total = 0;
        ASSERT_EQ(group.itemRoots.size(), group.items.size());
        for (std::size_t k = 0; k < group.items.size(); ++k) {
            total += group.items[k].size;
            EXPECT_NE(group.items[k].fileId, 0u) << core::WideToUtf8(group.items[k].path);
            ASSERT_LT(group.itemRoots[k], group.roots.size());
            EXPECT_TRUE(core::IsUnder(group.items[k].path, group.roots[group.itemRoots[k]]));
        }
        EXPECT_EQ(group.totalBytes, total);
    }
}

// What the deep scan must offer of the profile image, largest group first: user folders,
// fresh files, browser data, a reparse point's contents, a CacheStorage folder outside a
// service worker and the temporary profile's documents are never offered; a hard link once.
std::vector<ExpectedGroup> ProfileGroups(bool withExclusions) {
    const std::wstring local = L"C:\\Users\\bob\\AppData\\Local\\";
    const std::wstring fooBar = local + L"Foo\\Bar\\cache";
    const std::wstring chat = L"C:\\Users\\bob\\AppData\\Roaming\\Chat\\Service Worker";
    std::vector<ExpectedGroup> groups = {
        {local + L"Vendor\\App",
         L"Vendor\\App",
         core::Risk::Low,
         {local + L"Vendor\\App\\GPUCache"},
         {{local + L"Vendor\\App\\GPUCache\\data_0", 4000},
          {local + L"Vendor\\App\\GPUCache\\data_1", 4000}}},
        {local + L"Foo\\Bar",
         L"Foo\\Bar",
         core::Risk::Medium,
         {fooBar},
         {{fooBar + L"\\a.bin", 3000},
          {fooBar + L"\\sub\\b.bin", 1000},
          {fooBar + L"\\linked-a.bin", 700}}},
        {chat,
         L"Chat\\Service Worker",
         core::Risk::Low,
         {chat + L"\\CacheStorage"},
         {{chat + L"\\CacheStorage\\abc\\blob", 2500}}},
        {L"C:\\ProgramData\\Other",
         L"ProgramData\\Other",
         core::Risk::Medium,
         {L"C:\\ProgramData\\Other\\GPUCache"},
         {{L"C:\\ProgramData\\Other\\GPUCache\\g.bin", 1500}}},
        {L"C:\\ProgramData\\Vendor\\App",
         L"ProgramData\\Vendor\\App",
         core::Risk::Medium,
         {L"C:\\ProgramData\\Vendor\\App\\temp"},
         {{L"C:\\ProgramData\\Vendor\\App\\temp\\x.log", 1200}}},
        {L"C:\\Foo",
         L"C:\\Foo",
         core::Risk::Medium,
         {L"C:\\Foo\\cache"},
         {{L"C:\\Foo\\cache\\temp\\inner.bin", 400}, {L"C:\\Foo\\cache\\outer.bin", 300}}},
        {L"C:\\Users\\TEMP\\AppData\\Local\\Temp",
         L"Temp",
         core::Risk::Medium,
         {L"C:\\Users\\TEMP\\AppData\\Local\\Temp"},
         {{L"C:\\Users\\TEMP\\AppData\\Local\\Temp\\t.tmp", 100}}},
    };
    if (withExclusions) {
        groups.erase(groups.begin() + 4);  // inside an excluded root
        groups[4].items.pop_back();        // outer.bin is a quick-scan file
    }
    return groups;
}

TEST(DeepScanIndexTest, ProfileImageYieldsOneGroupPerApplicationArea) {
    const std::shared_ptr<const core::PathIndex> index = ProfileIndex();
    ASSERT_NE(index, nullptr);
    DeepCollectOptions collect;
    collect.now = kProfileNow;
    core::CancelToken cancel;
    const std::vector<DeepHit> hits = CollectFromIndex(*index, collect, cancel, {});

    const std::unordered_set<std::wstring> quickFiles = {L"c:\\foo\\cache\\outer.bin"};
    for (const bool withExclusions : {false, true}) {
        SCOPED_TRACE(withExclusions);
        DeepFinishOptions finish;
        if (withExclusions) {
            finish.excludedFiles = &quickFiles;
            // The second root is only a prefix of a folder's name: it covers nothing.
            finish.excludedRoots = {
                L"C:\\ProgramData\\Vendor\\App\\temp\\",
                L"C:\\Users\\bob\\AppData\\Roaming\\Chat\\Service Worker\\Cache"};
        }
        ExpectGroups(FinishDeepHits(hits, finish, cancel), ProfileGroups(withExclusions));
    }
}

TEST(DeepScanIndexTest, RunDeepScanReadsTheIndexItIsGiven) {
    const std::shared_ptr<const core::PathIndex> index = ProfileIndex();
    ASSERT_NE(index, nullptr);
    DeepScanOptions options;
    options.now = kProfileNow;
    options.root = L"C:\\no-walk-expected";
    wchar_t askedDrive = 0;
    options.buildIndex = [&](wchar_t drive, std::int64_t maxAge, core::CancelToken&,
                             const core::ProgressCallback&, core::MftStatus* status) {
        askedDrive = drive;
        EXPECT_EQ(maxAge, 3600);
        *status = core::MftStatus::Ok;
        return index;
    };
    std::vector<double> fractions;
    core::CancelToken cancel;
    const DeepScanOutput out = RunDeepScan(
        options, cancel, [&](const core::Progress& p) { fractions.push_back(p.fraction); });
    EXPECT_EQ(askedDrive, L'C');
    EXPECT_EQ(out.engine, ScanEngine::Mft);
    EXPECT_EQ(out.notice, ScanNotice::None);
    ExpectGroups(out.groups, ProfileGroups(false));
    ASSERT_FALSE(fractions.empty());
    EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
    EXPECT_GE(fractions.front(), 0.8);
    EXPECT_EQ(fractions.back(), 1.0);
}

TEST(DeepScanEngineTest, WalksAndSaysWhyWhenTheTableCannotBeRead) {
    const struct {
        bool elevated;
        bool ntfs;
        bool forceWalk;
        bool useIndex;
        ScanNotice notice;
    } choices[] = {
        {true, true, false, true, ScanNotice::None},
        {false, true, false, false, ScanNotice::NotElevated},
        {true, false, false, false, ScanNotice::NotNtfs},
        {false, false, false, false, ScanNotice::NotElevated},
        {true, true, true, false, ScanNotice::Forced},
        {false, true, true, false, ScanNotice::Forced},
    };
    for (const auto& c : choices) {
        DeepScanOptions options;
        ChooseDeepEngine(c.elevated, c.ntfs, c.forceWalk, options);
        EXPECT_EQ(options.useIndex, c.useIndex) << c.elevated << c.ntfs << c.forceWalk;
        EXPECT_EQ(options.walkNotice, c.notice) << c.elevated << c.ntfs << c.forceWalk;
    }
    EXPECT_EQ(DeepScanDrive(L"D:"), L'D');
    EXPECT_EQ(DeepScanDrive(L"e:"), L'E');
    EXPECT_EQ(DeepScanDrive(L""), L'C');
    EXPECT_EQ(DeepScanDrive(L"\\\\server"), L'C');

    // A failed build walks: a volume that is not NTFS says so, any other failure is "failed".
    test::ScratchDir scratch;
    const struct {
        core::MftStatus status;
        ScanNotice notice;
    } builds[] = {
        {core::MftStatus::NotNtfs, ScanNotice::NotNtfs},
        {core::MftStatus::NoAccess, ScanNotice::Failed},
        {core::MftStatus::IoError, ScanNotice::Failed},
    };
    for (const auto& b : builds) {
        DeepScanOptions options;
        options.root = scratch.Path();
        options.walkNotice = ScanNotice::Forced;
        options.buildIndex = [&](wchar_t, std::int64_t, core::CancelToken&,
                                 const core::ProgressCallback&, core::MftStatus* status) {
            *status = b.status;
            return std::shared_ptr<const core::PathIndex>();
        };
        core::CancelToken cancel;
        const DeepScanOutput out = RunDeepScan(options, cancel, {});
        EXPECT_EQ(out.engine, ScanEngine::Walk);
        EXPECT_EQ(out.notice, b.notice) << static_cast<int>(b.status);
    }
}

// A deep scan through the scan driver, walking a scratch tree beside the quick scan's made-up
// profile. This Wine reports C: as NTFS to an elevated process but cannot read its table, so
// a real deep scan must walk and say the volume is not NTFS.
class DeepJunkScanTest : public ::testing::Test {
protected:
    void SetUp() override {
        now = core::SystemFileTimeNow();
        profile::MakeProfile(scratch, now);
        saved = app::GetSettings();
        const std::uint64_t old = now - 48 * profile::kHour;
        const struct {
            const wchar_t* relative;
            std::uint64_t size;
            std::uint64_t written;
        } files[] = {
            {L"App\\Foo\\cache\\old.bin", 3000, old},
            {L"App\\Foo\\cache\\fresh.bin", 10, now - profile::kHour},
            {L"App\\Foo\\cache\\temp\\inner.bin", 400, old},
            {L"App\\Foo\\cache\\hard-a.bin", 700, old},
            {L"Data\\kept\\kept.bin", 9000, old},
            {L"Tool\\.cache\\pip\\wheel.whl", 1500, old},
            {L"Tool\\temp", 80, old},
            {L"Users\\bob\\AppData\\Local\\Vendor\\GPUCache\\data_0", 2000, old},
            // The quick scan skips this name but covers the folder: not offered again.
            {L"Windows\\Logs\\temp\\CBS.log", 600, old},
        };
        for (const auto& file : files) {
            const std::wstring path = scratch.MakeFile(file.relative, std::string(file.size, 'd'));
            profile::SetWriteTime(path, file.written);
        }
        ASSERT_TRUE(CreateHardLinkW(
            core::ToLongPath(scratch.Sub(L"App\\Foo\\cache\\hard-b.bin")).c_str(),
            core::ToLongPath(scratch.Sub(L"App\\Foo\\cache\\hard-a.bin")).c_str(), nullptr));
        setup.quick = profile::ProfileOptions(scratch, now);
        setup.deep = [this](DeepScanOptions& options) {
            chosen = options;
            options.root = scratch.Path();
            options.now = now;
        };
    }
    void TearDown() override { app::SetSettings(saved); }

    void UseSettings(bool forceWalk) {
        app::SettingsData settings = saved;
        settings.tempMinAgeHours = 24;
        settings.deepScanForceWalk = forceWalk;
        app::SetSettings(settings);
    }

    test::ScratchDir scratch;
    std::uint64_t now = 0;
    app::SettingsData saved;
    JunkScanSetup setup;
    DeepScanOptions chosen;
};

TEST_F(DeepJunkScanTest, WalkOffersWhatTheQuickScanDidNot) {
    test::LinuxSymlink link(scratch, L"App\\Foo\\cache\\link", L"Data\\kept");
    ASSERT_TRUE(link.Made()) << link.Why();
    {
        core::CancelToken probe;
        core::MftStatus status = core::MftStatus::Ok;
        if (core::AcquirePathIndex(L'C', 3600, probe, {}, &status) != nullptr) {
            GTEST_SKIP() << "C:'s file table can be read here; the walk fallback is not taken";
        }
    }
    const struct {
        bool forceWalk;
        ScanNotice notice;
    } cases[] = {
        {false, core::IsElevated() ? ScanNotice::NotNtfs : ScanNotice::NotElevated},
        {true, ScanNotice::Forced},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.forceWalk);
        UseSettings(c.forceWalk);
        test::LogCapture log;
        core::CancelToken cancel;
        const auto result = RunJunkScan(ScanKind::Deep, setup, cancel, {});
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(result->kind, ScanKind::Deep);
        EXPECT_EQ(result->engine, ScanEngine::Walk);
        EXPECT_EQ(result->notice, c.notice);
        EXPECT_EQ(chosen.minAgeHours, 24u);
        EXPECT_EQ(chosen.drive, L'C');
        ASSERT_NE(chosen.excludedFiles, nullptr);
        EXPECT_FALSE(chosen.excludedRoots.empty());
        EXPECT_EQ(log.CountContaining("junk: deep scan found", " ms, engine walk)"), 1);

        const auto firstDeep = std::find_if(result->groups.begin(), result->groups.end(),
                                            [](const JunkGroup& group) { return group.isDeep; });
        ASSERT_EQ(result->groups.end() - firstDeep, 1) << "one area: the scratch folder";
        EXPECT_TRUE(std::all_of(result->groups.begin(), firstDeep,
                                [](const JunkGroup& group) { return !group.isDeep; }));
        ExpectedGroup want{
            scratch.Path(),
            scratch.Path(),
            core::Risk::Medium,
            {scratch.Sub(L"App\\Foo\\cache"), scratch.Sub(L"Tool\\.cache"),
             scratch.Sub(L"Users\\bob\\AppData\\Local\\Vendor\\GPUCache")},
            {{scratch.Sub(L"App\\Foo\\cache\\old.bin"), 3000},
             {scratch.Sub(L"Users\\bob\\AppData\\Local\\Vendor\\GPUCache\\data_0"), 2000},
             {scratch.Sub(L"Tool\\.cache\\pip\\wheel.whl"), 1500},
             {scratch.Sub(L"App\\Foo\\cache\\hard-a.bin"), 700},
             {scratch.Sub(L"App\\Foo\\cache\\temp\\inner.bin"), 400}}};
        // Either name of the hard link may be the one kept.
        JunkGroup deep = *firstDeep;
        for (core::FileEntry& item : deep.items) {
            if (item.path == scratch.Sub(L"App\\Foo\\cache\\hard-b.bin")) {
                item.path = scratch.Sub(L"App\\Foo\\cache\\hard-a.bin");
            }
        }
        ExpectGroups({deep}, {want});
    }
}

TEST_F(DeepJunkScanTest, CancelInTheDeepStageLeavesNoResult) {
    UseSettings(true);
    test::LogCapture log;
    core::CancelToken cancel;
    bool cancelledInDeepStage = false;
    const auto result = RunJunkScan(ScanKind::Deep, setup, cancel, [&](const core::Progress& p) {
        if (p.fraction < 0 || p.fraction > 0.15) {
            cancelledInDeepStage = true;
            cancel.Cancel();
        }
    });
    EXPECT_TRUE(cancelledInDeepStage);
    EXPECT_EQ(result, nullptr);
    EXPECT_EQ(log.CountContaining("junk: deep scan found"), 0);
}

// The machine's own drive, without any seam: the scan must finish, say how it searched and
// log its summary.
TEST(DeepJunkScanSystemTest, RealDeepScanSaysHowItSearchedTheSystemDrive) {
    core::CancelToken probe;
    core::MftStatus status = core::MftStatus::Ok;
    const bool indexed = core::AcquirePathIndex(L'C', 3600, probe, {}, &status) != nullptr;
    test::LogCapture log;
    core::CancelToken cancel;
    const auto result = RunJunkScan(ScanKind::Deep, cancel, {});
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->engine, indexed ? ScanEngine::Mft : ScanEngine::Walk);
    if (!indexed && !app::GetSettings().deepScanForceWalk) {
        EXPECT_EQ(result->notice,
                  core::IsElevated() ? ScanNotice::NotNtfs : ScanNotice::NotElevated);
    }
    EXPECT_EQ(
        log.CountContaining("junk: deep scan found", indexed ? "engine mft)" : "engine walk)"), 1);
}

}  // namespace
}  // namespace purvex::junk
