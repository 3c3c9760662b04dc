// The walking pass over real scratch trees: sparse large files, hard links, a link to a
// folder that must not be entered.
#include <windows.h>

#include <algorithm>
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <vector>

#include "core/fs/path_text.h"
#include "core/safety/safety_policy.h"
#include "core/text.h"
#include "core/unique_handle.h"
#include "modules/bigfiles/big_file_scanner.h"
#include "modules/bigfiles/top_files.h"
#include "support/linux_symlink.h"
#include "support/scratch_dir.h"

namespace purvex::bigfiles {
namespace {

constexpr std::uint64_t kGB = 1ull << 30;

// Gigabytes that cost nothing: a new file's end moved far out is sparse on this file system.
std::wstring MakeSparse(const test::ScratchDir& scratch, const std::wstring& relative,
                        std::uint64_t size) {
    const std::wstring path = scratch.MakeFileOfSize(relative, size);
    core::UniqueFile file(CreateFileW(core::ToLongPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    FILE_STANDARD_INFO info{};
    EXPECT_TRUE(file &&
                GetFileInformationByHandleEx(file.Get(), FileStandardInfo, &info, sizeof(info)));
    EXPECT_EQ(static_cast<std::uint64_t>(info.EndOfFile.QuadPart), size);
    EXPECT_LT(info.AllocationSize.QuadPart, 1 << 20) << "not sparse: " << core::WideToUtf8(path);
    return path;
}

ScanOptions Options(const std::wstring& root, std::uint64_t minSize, std::uint64_t topCount) {
    ScanOptions options;
    options.root = root;
    options.minSize = minSize;
    options.topCount = topCount;
    options.forceWalk = true;
    return options;
}

// Restores the user's exclusions of the process-wide policy after a test changed them.
class ExclusionsGuard {
public:
    ExclusionsGuard() : saved_(core::SafetyPolicy::Instance().UserExclusions()) {}
    ExclusionsGuard(const ExclusionsGuard&) = delete;
    ExclusionsGuard& operator=(const ExclusionsGuard&) = delete;
    ~ExclusionsGuard() { core::SafetyPolicy::Instance().SetUserExclusions(saved_); }

private:
    std::vector<std::wstring> saved_;
};

TEST(ScanWalkTest, ListsLargeFilesOnceWithoutEnteringLinks) {
    test::ScratchDir s;
    MakeSparse(s, L"nine.iso", 9 * kGB);
    MakeSparse(s, L"sub\\seven-b.bin", 7 * kGB);
    MakeSparse(s, L"sub\\Seven-a.bin", 7 * kGB);
    MakeSparse(s, L"five.zip", 5 * kGB);
    MakeSparse(s, L"exact.bin", kGB);
    MakeSparse(s, L"short.bin", kGB - 1);
    MakeSparse(s, L"target\\inside.bin", 4 * kGB);
    MakeSparse(s, L"excluded\\keep.iso", 3 * kGB);
    const std::wstring linked = MakeSparse(s, L"links\\one.vhdx", 2 * kGB);
    ASSERT_TRUE(CreateHardLinkW(core::ToLongPath(s.Sub(L"links\\two.vhdx")).c_str(),
                                core::ToLongPath(linked).c_str(), nullptr));
    s.MakeFile(L"small.txt", "small");
    test::LinuxSymlink link(s, L"jump", L"target");
    ASSERT_TRUE(link.Made()) << link.Why();

    ExclusionsGuard guard;
    core::SafetyPolicy::Instance().SetUserExclusions({s.Sub(L"excluded")});
    core::CancelToken cancel;
    // Given with a trailing backslash, as a data folder might be.
    const ScanResult r = BigFileScanner::Scan(Options(s.Path() + L"\\", kGB, 500), cancel, {});

    const struct {
        const wchar_t* relative;
        std::uint64_t gb;
        core::Risk risk;
    } expected[] = {
        {L"nine.iso", 9, core::Risk::High},
        {L"sub\\Seven-a.bin", 7, core::Risk::High},
        {L"sub\\seven-b.bin", 7, core::Risk::High},
        {L"five.zip", 5, core::Risk::High},
        {L"target\\inside.bin", 4, core::Risk::High},
        {L"excluded\\keep.iso", 3, core::Risk::Locked},  // the safety policy refuses it
        {L"links\\one.vhdx", 2, core::Risk::High},
        {L"exact.bin", 1, core::Risk::High},
    };
    ASSERT_EQ(r.items.size(), std::size(expected));
    for (std::size_t i = 0; i < r.items.size(); ++i) {
        const BigFileItem& item = r.items[i];
        SCOPED_TRACE(core::WideToUtf8(expected[i].relative));
        std::wstring path = item.path;
        if (path == s.Sub(L"links\\two.vhdx")) {
            path = s.Sub(L"links\\one.vhdx");
        }
        EXPECT_EQ(path, s.Sub(expected[i].relative));
        EXPECT_EQ(item.size, expected[i].gb * kGB);
        EXPECT_EQ(item.risk, expected[i].risk);
        EXPECT_NE(item.fileId, 0u);
    }
    EXPECT_EQ(r.root, s.Path());
    EXPECT_EQ(r.matchCount, 8u);
    EXPECT_EQ(r.matchBytes, 38 * kGB);
    // Both names of the link are looked at; nothing behind the folder link is.
    EXPECT_EQ(r.filesChecked, 11u);
    EXPECT_FALSE(r.usedIndex);
    EXPECT_FALSE(r.stopped);
    EXPECT_NE(r.scannedAt, 0u);
}

TEST(ScanWalkTest, OfflineAndCloudFilesAreNeitherCountedNorListed) {
    test::ScratchDir s;
    MakeSparse(s, L"here.iso", 2 * kGB);
    const struct {
        const wchar_t* name;
        DWORD attribute;
    } marked[] = {
        {L"offline.iso", FILE_ATTRIBUTE_OFFLINE},
        {L"recall-open.iso", 0x40000},     // recall on open
        {L"recall-access.iso", 0x400000},  // recall on data access
    };
    int kept = 0;
    for (const auto& m : marked) {
        const std::wstring path = core::ToLongPath(MakeSparse(s, m.name, 3 * kGB));
        SetFileAttributesW(path.c_str(), m.attribute);
        const DWORD now = GetFileAttributesW(path.c_str());
        kept += now != INVALID_FILE_ATTRIBUTES && (now & m.attribute) != 0;
    }
    if (kept == 0) {
        GTEST_SKIP() << "this file system keeps none of the offline and cloud attributes";
    }
    core::CancelToken cancel;
    const ScanResult r = BigFileScanner::Scan(Options(s.Path(), kGB, 500), cancel, {});
    EXPECT_EQ(r.matchCount, 1u + 3u - kept);
    EXPECT_EQ(r.filesChecked, 4u - kept);
    ASSERT_FALSE(r.items.empty());
    EXPECT_EQ(r.items[0].path, s.Sub(L"here.iso"));
}

TEST(ScanWalkTest, CancelledWalkReturnsASortedClassifiedPartialList) {
    test::ScratchDir s;
    constexpr int kFolders = 11;
    constexpr int kPerFolder = 100;
    for (int d = 0; d < kFolders; ++d) {
        for (int f = 0; f < kPerFolder; ++f) {
            s.MakeFileOfSize(
                L"node_modules\\d" + std::to_wstring(d) + L"\\f" + std::to_wstring(f) + L".bin",
                (1u << 20) + d * kPerFolder + f);
        }
    }
    core::CancelToken cancel;
    std::mutex mutex;  // reports arrive on the walker's threads
    std::vector<core::Progress> reports;
    const auto progress = [&](const core::Progress& p) {
        const std::lock_guard lock(mutex);
        reports.push_back(p);
        cancel.Cancel();
    };
    const ScanResult r = BigFileScanner::Scan(Options(s.Path(), 1u << 20, 50), cancel, progress);

    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].items, 512u);
    EXPECT_FALSE(reports[0].current.empty());
    EXPECT_GE(reports[0].bytes, 512ull << 20);
    // Bytes seen against the volume's used bytes, which a walk never reports as done.
    EXPECT_GT(reports[0].fraction, 0.0);
    EXPECT_LE(reports[0].fraction, 0.99);
    EXPECT_TRUE(r.stopped);
    EXPECT_GE(r.matchCount, 512u);
    EXPECT_LT(r.matchCount, static_cast<std::uint64_t>(kFolders * kPerFolder));
    EXPECT_EQ(r.filesChecked, r.matchCount);
    EXPECT_EQ(r.items.size(), 50u);
    EXPECT_TRUE(std::is_sorted(r.items.begin(), r.items.end(), ComesBefore));
    for (const BigFileItem& item : r.items) {
        EXPECT_EQ(item.tag, SourceTag::DevCache);
        EXPECT_EQ(item.risk, core::Risk::Low);
    }
}

TEST(ScanWalkTest, UnusableRootScansNothing) {
    core::CancelToken cancel;
    const ScanResult r = BigFileScanner::ScanWalk(Options(L"relative\\folder", 1, 500), cancel, {});
    EXPECT_TRUE(r.root.empty());
    EXPECT_TRUE(r.items.empty());
    EXPECT_EQ(r.filesChecked, 0u);
}

}  // namespace
}  // namespace purvex::bigfiles
