// How Scan chooses between the file table index and the walk, and what it makes of an index
// that cannot be had.
#include "modules/bigfiles/big_file_scanner.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <vector>

#include "core/fs/ntfs/path_index_impl.h"
#include "core/fs/ntfs/volume.h"
#include "core/fs/path_text.h"
#include "core/fs/volume_facts.h"
#include "core/safety/ownership.h"
#include "support/log_capture.h"
#include "support/ntfs_images.h"
#include "support/scratch_dir.h"

namespace purvex::bigfiles {
namespace {

constexpr std::uint64_t kGB = 1ull << 30;
constexpr char kFallback[] = "walking instead";

std::shared_ptr<const core::PathIndex> ImageIndex() {
    DWORD error = 0;
    core::ntfs::Volume volume(
        core::ntfs::Volume::Open(core::ToLongPath(test::NtfsImagePath("bigfiles")), error));
    const auto geometry = test::ReadGeometry(volume);
    if (error != 0 || !geometry) {
        return nullptr;
    }
    core::CancelToken cancel;
    return core::ntfs::BuildPathIndex(volume, *geometry, L'C', cancel, nullptr, nullptr);
}

// An index source that records how it was asked and answers as told.
struct FakeSource {
    std::shared_ptr<const core::PathIndex> index;
    core::MftStatus status = core::MftStatus::Ok;
    double buildFraction = 0.5;
    int calls = 0;
    wchar_t drive = 0;
    std::int64_t maxAge = 0;

    IndexSource Source() {
        return [this](wchar_t d, std::int64_t age, core::CancelToken&,
                      const core::ProgressCallback& progress, core::MftStatus* out) {
            ++calls;
            drive = d;
            maxAge = age;
            if (progress) {
                core::Progress p;
                p.fraction = buildFraction;
                progress(p);
            }
            *out = index ? core::MftStatus::Ok : status;
            return index;
        };
    }
};

class ScanEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!core::IsElevated() || !core::IsNtfsDrive(L'C')) {
            GTEST_SKIP() << "the index is tried only with administrator rights on an NTFS C:";
        }
    }

    static ScanOptions DriveOptions(const wchar_t* root) {
        ScanOptions options;
        options.root = root;
        options.minSize = kGB;
        options.topCount = 3;
        options.forceWalk = false;
        return options;
    }
};

TEST_F(ScanEngineTest, DriveRootReadsTheIndexAndScalesItsProgress) {
    FakeSource fake;
    fake.index = ImageIndex();
    ASSERT_NE(fake.index, nullptr);
    std::vector<double> fractions;
    core::CancelToken cancel;
    const ScanResult r = BigFileScanner::Scan(
        DriveOptions(L"c:"), cancel,
        [&](const core::Progress& p) { fractions.push_back(p.fraction); }, fake.Source());
    EXPECT_EQ(fake.calls, 1);
    EXPECT_EQ(fake.drive, L'C');
    EXPECT_EQ(fake.maxAge, 3600);
    ASSERT_FALSE(fractions.empty());
    EXPECT_DOUBLE_EQ(fractions[0], 0.45);  // a build's share of the whole is 90 %
    EXPECT_TRUE(r.usedIndex);
    EXPECT_FALSE(r.stopped);
    EXPECT_EQ(r.root, L"c:\\");
    ASSERT_EQ(r.items.size(), 3u);
    EXPECT_EQ(r.items[0].size, 9 * kGB);
    EXPECT_EQ(r.matchCount, 11u);
}

TEST_F(ScanEngineTest, CancelledBuildEndsTheScanWithoutWalking) {
    test::LogCapture log;
    FakeSource fake;
    fake.status = core::MftStatus::Cancelled;
    core::CancelToken cancel;
    const ScanResult r = BigFileScanner::Scan(DriveOptions(L"C:\\"), cancel, {}, fake.Source());
    EXPECT_EQ(fake.calls, 1);
    EXPECT_TRUE(r.stopped);
    EXPECT_FALSE(r.usedIndex);
    EXPECT_EQ(r.filesChecked, 0u);
    EXPECT_EQ(r.root, L"C:\\");
    EXPECT_EQ(r.minSize, kGB);
    EXPECT_NE(r.scannedAt, 0u);
    EXPECT_EQ(log.CountContaining(kFallback), 0);
}

// The walk of the whole drive is cut short at its first progress report: what matters is
// that it ran, and what was written about it.
ScanResult ScanUntilTheWalkReports(const ScanOptions& options, const IndexSource& source) {
    core::CancelToken cancel;
    std::mutex mutex;
    bool walked = false;
    const ScanResult r = BigFileScanner::Scan(
        options, cancel,
        [&](const core::Progress& p) {
            const std::lock_guard lock(mutex);
            if (!p.current.empty()) {
                walked = true;
                cancel.Cancel();
            }
        },
        source);
    EXPECT_TRUE(walked);
    return r;
}

TEST_F(ScanEngineTest, FailedIndexIsLoggedWithItsStatusAndTheDriveWalked) {
    const struct {
        const char* name;
        bool fake;
        core::MftStatus status;
        const char* line;
    } cases[] = {
        {"made-up refusal", true, core::MftStatus::NoAccess,
         "bigfiles: MFT unavailable (status 2), walking instead"},
        // This Wine says C: is NTFS but refuses the volume's NTFS data.
        {"this system's index", false, core::MftStatus::NotNtfs,
         "bigfiles: MFT unavailable (status 1), walking instead"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::LogCapture log;
        FakeSource fake;
        fake.status = c.status;
        const ScanResult r =
            ScanUntilTheWalkReports(DriveOptions(L"C:\\"), c.fake ? fake.Source() : IndexSource{});
        EXPECT_FALSE(r.usedIndex);
        EXPECT_TRUE(r.stopped);
        EXPECT_GE(r.filesChecked, 512u);
        EXPECT_EQ(log.CountContaining("[WARN]", c.line), 1);
    }
}

TEST_F(ScanEngineTest, ForcedWalkAndFoldersBelowTheRootNeverAskForTheIndex) {
    test::LogCapture log;
    FakeSource fake;
    ScanOptions forced = DriveOptions(L"C:\\");
    forced.forceWalk = true;
    const ScanResult r = ScanUntilTheWalkReports(forced, fake.Source());
    EXPECT_FALSE(r.usedIndex);

    test::ScratchDir s;
    s.MakeFileOfSize(L"big.bin", 2 * kGB);
    core::CancelToken cancel;
    const ScanResult folder =
        BigFileScanner::Scan(DriveOptions(s.Path().c_str()), cancel, {}, fake.Source());
    EXPECT_FALSE(folder.usedIndex);
    EXPECT_FALSE(folder.stopped);
    EXPECT_EQ(folder.matchCount, 1u);

    EXPECT_EQ(fake.calls, 0);
    EXPECT_EQ(log.CountContaining(kFallback), 0);
}

}  // namespace
}  // namespace purvex::bigfiles
