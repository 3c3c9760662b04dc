#include <windows.h>

#include <gtest/gtest.h>

#include "core/fs/ntfs/path_index.h"
#include "core/fs/ntfs/path_index_cache.h"

namespace purvex::core {
namespace {

bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TEST(PathIndexBuild, RejectsWhatIsNoDriveLetterOrNoVolume) {
    CancelToken cancel;
    for (wchar_t drive : {L'1', L'?', L'\0'}) {
        MftStatus status = MftStatus::Ok;
        EXPECT_EQ(PathIndex::Build(drive, cancel, nullptr, &status), nullptr);
        EXPECT_EQ(status, MftStatus::NotNtfs);
    }
    if ((GetLogicalDrives() & (1u << (L'Q' - L'A'))) == 0) {
        MftStatus status = MftStatus::Ok;
        EXPECT_EQ(PathIndex::Build(L'q', cancel, nullptr, &status), nullptr);
        EXPECT_EQ(status, MftStatus::NotNtfs);
    }
}

TEST(PathIndexBuild, CancelledBeforeTheStartBuildsNothing) {
    CancelToken cancel;
    cancel.Cancel();
    MftStatus status = MftStatus::Ok;
    EXPECT_EQ(PathIndex::Build(L'C', cancel, nullptr, &status), nullptr);
    EXPECT_EQ(status, MftStatus::Cancelled);
}

// Elevated on Windows the system drive is indexed; this Wine says NTFS but refuses the
// volume-data request as unsupported, which must read as "not NTFS" so scans walk instead.
TEST(PathIndexBuild, SystemDriveIsIndexedOrSaysWhyNot) {
    CancelToken cancel;
    MftStatus status = MftStatus::BadFormat;
    auto index = PathIndex::Build(L'C', cancel, nullptr, &status);
    if (RunningUnderWine()) {
        EXPECT_EQ(status, MftStatus::NotNtfs);
    }
    if (status == MftStatus::Ok) {
        ASSERT_NE(index, nullptr);
        EXPECT_EQ(index->FullPath(5), L"C:\\");
        EXPECT_GT(index->EntryCount(), 0u);
    } else {
        EXPECT_EQ(index, nullptr);
        EXPECT_TRUE(status == MftStatus::NotNtfs || status == MftStatus::NoAccess);
    }
    MftStatus cached = MftStatus::BadFormat;
    auto shared = AcquirePathIndex(L'c', 3600, cancel, nullptr, &cached);
    EXPECT_EQ(cached, status);
    EXPECT_EQ(shared != nullptr, status == MftStatus::Ok);
}

}  // namespace
}  // namespace purvex::core
