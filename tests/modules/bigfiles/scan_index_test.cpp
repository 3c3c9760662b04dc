// The index pass over a real NTFS image made by ntfs-3g ("bigfiles"), read as drive C:.
#include <windows.h>

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/fs/ntfs/path_index_impl.h"
#include "core/fs/ntfs/volume.h"
#include "core/fs/path_text.h"
#include "core/text.h"
#include "modules/bigfiles/big_file_scanner.h"
#include "modules/bigfiles/top_files.h"
#include "support/ntfs_images.h"

namespace purvex::bigfiles {
namespace {

using core::Risk;
constexpr std::uint64_t kGB = 1ull << 30;

// The image's index names the hard-linked file by one of its two names; either stands for it.
std::wstring OneLinkName(std::wstring path) {
    const std::wstring copy = L"disk-copy.vhdx";
    if (path.ends_with(copy)) {
        path.replace(path.size() - copy.size(), copy.size(), L"disk.vhdx");
    }
    return path;
}

std::vector<std::wstring> Paths(const ScanResult& r) {
    std::vector<std::wstring> paths;
    for (const BigFileItem& i : r.items) {
        paths.push_back(OneLinkName(i.path));
    }
    return paths;
}

// The image's index as drive C:, or null (with a failure recorded).
std::shared_ptr<const core::PathIndex> ImageIndex(const char* name) {
    DWORD error = 0;
    core::ntfs::Volume volume(
        core::ntfs::Volume::Open(core::ToLongPath(test::NtfsImagePath(name)), error));
    EXPECT_EQ(error, 0u) << name;
    const auto geometry = test::ReadGeometry(volume);
    if (!geometry) {
        ADD_FAILURE() << name << " has no NTFS geometry";
        return nullptr;
    }
    core::CancelToken cancel;
    core::MftStatus status = core::MftStatus::IoError;
    std::shared_ptr<const core::PathIndex> index =
        core::ntfs::BuildPathIndex(volume, *geometry, L'C', cancel, nullptr, &status);
    EXPECT_EQ(status, core::MftStatus::Ok) << name;
    return index;
}

class ScanIndexTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { index_ = ImageIndex("bigfiles"); }
    static void TearDownTestSuite() { index_.reset(); }

    void SetUp() override { ASSERT_NE(index_, nullptr); }

    static ScanResult Run(const wchar_t* root, std::uint64_t topCount, bool cancelled = false) {
        ScanOptions options;
        options.root = root;
        options.minSize = kGB;
        options.topCount = topCount;
        core::CancelToken cancel;
        if (cancelled) {
            cancel.Cancel();
        }
        return BigFileScanner::ScanIndex(*index_, options, cancel, nullptr);
    }

    static inline std::shared_ptr<const core::PathIndex> index_;
};

TEST_F(ScanIndexTest, WholeDriveListsEveryLargeFileOnceInOrderAndClassified) {
    FILETIME before{};
    GetSystemTimeAsFileTime(&before);
    const ScanResult r = Run(L"C:\\", 500);

    const struct {
        const wchar_t* path;
        std::uint64_t gb;
        SourceTag tag, secondary;
        Risk risk;
        bool slimLink;
    } expected[] = {
        {L"C:\\Users\\bob\\Downloads\\ubuntu.iso", 9, SourceTag::DiskImage, SourceTag::Downloads,
         Risk::Low, false},
        {L"C:\\Users\\bob\\Videos\\Movie-a.mkv", 7, SourceTag::Videos, SourceTag::Videos,
         Risk::Medium, false},
        {L"C:\\Users\\bob\\Videos\\movie-b.mkv", 7, SourceTag::Videos, SourceTag::Videos,
         Risk::Medium, false},
        {L"C:\\pagefile.sys", 6, SourceTag::System, SourceTag::Other, Risk::Locked, true},
        {L"C:\\Data\\backup.zip", 5, SourceTag::Archive, SourceTag::Other, Risk::High, false},
        {L"C:\\Users\\bob\\Documents\\mail.pst", 5, SourceTag::Documents, SourceTag::Documents,
         Risk::High, false},
        {L"C:\\Windows\\WinSxS\\store.cab", 4, SourceTag::System, SourceTag::Other, Risk::Locked,
         true},
        {L"C:\\DataOld\\old.iso", 3, SourceTag::DiskImage, SourceTag::Other, Risk::High, false},
        {L"C:\\Program Files\\App\\data.pak", 3, SourceTag::Application, SourceTag::Application,
         Risk::Locked, false},
        {L"C:\\Data\\links\\disk.vhdx", 2, SourceTag::VirtualDisk, SourceTag::Other, Risk::High,
         false},
        {L"C:\\Data\\exact.bin", 1, SourceTag::Other, SourceTag::Other, Risk::High, false},
    };
    ASSERT_EQ(r.items.size(), std::size(expected));
    std::uint64_t bytes = 0;
    for (std::size_t i = 0; i < r.items.size(); ++i) {
        const BigFileItem& item = r.items[i];
        SCOPED_TRACE(core::WideToUtf8(expected[i].path));
        EXPECT_EQ(OneLinkName(item.path), expected[i].path);
        EXPECT_EQ(item.size, expected[i].gb * kGB);
        EXPECT_EQ(item.tag, expected[i].tag);
        EXPECT_EQ(item.secondaryTag, expected[i].secondary);
        EXPECT_EQ(item.risk, expected[i].risk);
        EXPECT_EQ(item.slimLink, expected[i].slimLink);
        // The record reference, sequence number included, as Windows reports the file id.
        core::IndexEntry e;
        ASSERT_TRUE(index_->Get(item.fileId, e));
        EXPECT_EQ(e.frn, item.fileId);
        EXPECT_EQ(index_->FullPath(item.fileId), item.path);
        EXPECT_NE(item.lastWriteTime, 0u);
        bytes += item.size;
    }
    // The offline file (8 GB), the byte-short one and the second name of the link are absent.
    EXPECT_EQ(r.matchCount, 11u);
    EXPECT_EQ(r.matchBytes, 52 * kGB);
    EXPECT_EQ(r.matchBytes, bytes);
    EXPECT_EQ(r.root, L"C:\\");
    EXPECT_EQ(r.minSize, kGB);
    EXPECT_TRUE(r.usedIndex);
    EXPECT_FALSE(r.stopped);
    EXPECT_GE(r.scannedAt,
              (static_cast<std::uint64_t>(before.dwHighDateTime) << 32) | before.dwLowDateTime);

    // Every file ntfs-3g shows (a hard link once, the offline one not), and the volume's own
    // files that ntfs-3g hides: they are files too, merely not listed.
    const auto listing = test::LoadNtfsListing("bigfiles");
    std::uint64_t files = 0;
    for (const auto& [record, listed] : listing) {
        files += listed.folder ? 0 : 1;
    }
    ASSERT_EQ(files, 15u);
    std::uint64_t hidden = 0;
    index_->ForEach([&](const core::IndexEntry& e) {
        hidden += (e.attributes & 0x10) == 0 && listing.count(e.frn & 0xFFFFFFFFFFFFull) == 0;
        return true;
    });
    EXPECT_EQ(r.filesChecked, files - 1 + hidden);
}

TEST_F(ScanIndexTest, RootsAndLimits) {
    const struct {
        const wchar_t* root;
        std::uint64_t topCount;
        const wchar_t* normalRoot;
        std::vector<std::wstring> items;
        std::uint64_t count, gb;
    } cases[] = {
        {L"C:\\Users",
         3,
         L"C:\\Users",
         {L"C:\\Users\\bob\\Downloads\\ubuntu.iso", L"C:\\Users\\bob\\Videos\\Movie-a.mkv",
          L"C:\\Users\\bob\\Videos\\movie-b.mkv"},
         4,
         28},
        {L"C:\\Users\\", 0, L"C:\\Users", {}, 4, 28},
        {L"c:\\users\\BOB\\videos\\",
         500,
         L"c:\\users\\BOB\\videos",
         {L"C:\\Users\\bob\\Videos\\Movie-a.mkv", L"C:\\Users\\bob\\Videos\\movie-b.mkv"},
         2,
         14},
        // Strictly below: the sibling "DataOld" shares the root's first characters.
        {L"C:\\Data",
         500,
         L"C:\\Data",
         {L"C:\\Data\\backup.zip", L"C:\\Data\\links\\disk.vhdx", L"C:\\Data\\exact.bin"},
         3,
         8},
        {L"C:", 1, L"C:\\", {L"C:\\Users\\bob\\Downloads\\ubuntu.iso"}, 11, 52},
        {L"C:\\Data\\exact.bin", 500, L"C:\\Data\\exact.bin", {}, 0, 0},
        {L"D:\\", 500, L"D:\\", {}, 0, 0},
    };
    const std::uint64_t checked = Run(L"C:\\", 0).filesChecked;
    for (const auto& c : cases) {
        SCOPED_TRACE(core::WideToUtf8(c.root));
        const ScanResult r = Run(c.root, c.topCount);
        EXPECT_EQ(r.root, c.normalRoot);
        EXPECT_EQ(Paths(r), c.items);
        EXPECT_EQ(r.matchCount, c.count);
        EXPECT_EQ(r.matchBytes, c.gb * kGB);
        EXPECT_EQ(r.filesChecked, checked);  // every file is looked at, whatever the root
    }
}

// The "holes" image holds two folders of 1,000 small files: enough entries for the pass to
// report progress and look at the cancel token on its way.
TEST(ScanIndexCancelTest, ReportsAndStopsEveryThousandEntries) {
    const std::shared_ptr<const core::PathIndex> index = ImageIndex("holes");
    ASSERT_NE(index, nullptr);
    ScanOptions options;
    options.minSize = 1;
    options.topCount = 4;

    core::CancelToken running;
    std::vector<core::Progress> reports;
    const ScanResult full = BigFileScanner::ScanIndex(
        *index, options, running, [&](const core::Progress& p) { reports.push_back(p); });
    ASSERT_GT(full.filesChecked, 1900u);
    EXPECT_FALSE(full.stopped);
    ASSERT_FALSE(reports.empty());  // later ones may fall within the throttle's 50 ms
    EXPECT_DOUBLE_EQ(reports[0].fraction, 1000.0 / static_cast<double>(index->EntryCount()));
    EXPECT_LE(reports[0].items, 1000u);
    EXPECT_GT(reports[0].items, 900u);

    core::CancelToken cancelled;
    cancelled.Cancel();
    const ScanResult r = BigFileScanner::ScanIndex(*index, options, cancelled, nullptr);
    EXPECT_TRUE(r.stopped);
    EXPECT_TRUE(r.usedIndex);
    EXPECT_LT(r.filesChecked, 1000u);  // the pass ended at its first check
    EXPECT_LT(r.matchCount, full.matchCount);
    EXPECT_EQ(r.items.size(), 4u);
    EXPECT_TRUE(std::is_sorted(r.items.begin(), r.items.end(), ComesBefore));
}

}  // namespace
}  // namespace purvex::bigfiles
