// The deleter against real files: nothing outside the selection is touched, nothing changed
// since the scan is deleted, and every request gets one outcome and one clean-log line.
#include "core/safety/deleter.h"

#include <windows.h>

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/fs/path_text.h"
#include "core/log.h"
#include "core/safety/safety_policy.h"
#include "core/text.h"
#include "core/unique_handle.h"
#include "support/file_bytes.h"
#include "support/file_holder.h"
#include "support/linux_symlink.h"
#include "support/scratch_dir.h"

namespace purvex::core {
namespace {

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(ToLongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// What a scan would have recorded for the item.
DeleteRequest Scanned(const std::wstring& path, const std::wstring& root) {
    DeleteRequest request;
    request.path = path;
    request.root = root;
    UniqueFile file(
        CreateFileW(ToLongPath(path).c_str(), FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    EXPECT_TRUE(file && GetFileInformationByHandle(file.Get(), &info));
    request.expectedSize = (std::uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    request.expectedFileId = (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    request.expectedWriteTime = (std::uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32) |
                                info.ftLastWriteTime.dwLowDateTime;
    request.expectedAttributes = info.dwFileAttributes;
    return request;
}

void SetWriteTime(const std::wstring& path, std::uint64_t fileTime) {
    UniqueFile file(CreateFileW(ToLongPath(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    FILETIME time{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    ASSERT_TRUE(file && SetFileTime(file.Get(), nullptr, nullptr, &time));
}

class DeleterTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = scratch.MakeDir(L"root");
        Log::Instance().Open(scratch.MakeDir(L"logs"));
        SafetyPolicy::Instance().SetUserExclusions({});
    }
    void TearDown() override { Log::Instance().Close(); }

    DeleteReport Delete(const std::vector<DeleteRequest>& requests,
                        DeleteOptions options = {DeleteMode::Permanent, true, false, true}) {
        CancelToken cancel;
        return Deleter::Delete(requests, options, nullptr, cancel);
    }

    std::vector<std::string> CleanLogLines() {
        Log::Instance().Flush();
        return test::SplitLines(
            test::ReadFileBytes(Log::Instance().CleanLogPathForToday()).value_or(""));
    }

    test::ScratchDir scratch;
    std::wstring root;
};

TEST_F(DeleterTest, DeletesExactlyTheSelectedFilesAndLogsEachOnce) {
    const std::wstring a = scratch.MakeFile(L"root\\a.tmp", "aaaa");
    const std::wstring b = scratch.MakeFile(L"root\\sub\\b.tmp", "bb");
    const std::wstring keep = scratch.MakeFile(L"root\\sub\\keep.txt", "keep");
    const std::wstring gone = scratch.Sub(L"root\\gone.tmp");
    DeleteRequest missing{gone, 7, 0, 0, 0, root};

    const DeleteReport report = Delete({Scanned(a, root), Scanned(b, root), missing});

    ASSERT_EQ(report.items.size(), 3u);
    EXPECT_EQ(report.items[0].outcome, DeleteOutcome::Deleted);
    EXPECT_EQ(report.items[1].outcome, DeleteOutcome::Deleted);
    EXPECT_EQ(report.items[2].outcome, DeleteOutcome::NotFound);
    EXPECT_EQ(report.bytesFreed, 6u);
    EXPECT_EQ(report.removedCount, 3u);
    EXPECT_EQ(report.failedCount, 0u);
    EXPECT_FALSE(Exists(a));
    EXPECT_FALSE(Exists(b));
    EXPECT_TRUE(Exists(keep));

    const std::vector<std::string> lines = CleanLogLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[0].find("\tDeleted\t4\t0\t"), std::string::npos) << lines[0];
    EXPECT_NE(lines[2].find("\tNotFound\t7\t2\t"), std::string::npos) << lines[2];
    EXPECT_NE(lines[2].find(WideToUtf8(gone)), std::string::npos);
}

TEST_F(DeleterTest, ChangedItemsAreRefusedAndSurvive) {
    struct Case {
        const char* what;
        void (*change)(const std::wstring& path, test::ScratchDir& dir);
    };
    const Case cases[] = {
        {"replaced by another file of the same name and size",
         [](const std::wstring& path, test::ScratchDir&) {
             DeleteFileW(ToLongPath(path).c_str());
             std::ofstream(path.c_str(), std::ios::binary) << "SAME";
         }},
        {"grown",
         [](const std::wstring& path, test::ScratchDir&) {
             std::ofstream(path.c_str(), std::ios::binary | std::ios::app) << "more";
         }},
        {"shrunk",
         [](const std::wstring& path, test::ScratchDir&) {
             std::ofstream(path.c_str(), std::ios::binary | std::ios::trunc) << "x";
         }},
        {"touched", [](const std::wstring& path,
                       test::ScratchDir&) { SetWriteTime(path, 0x01D0000000000000ull); }},
        {"replaced by a hard link to another file",
         [](const std::wstring& path, test::ScratchDir& dir) {
             const std::wstring other = dir.MakeFile(L"elsewhere.dat", "OTHR");
             DeleteFileW(ToLongPath(path).c_str());
             CreateHardLinkW(ToLongPath(path).c_str(), ToLongPath(other).c_str(), nullptr);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring path = scratch.MakeFile(L"root\\item.bin", "ORIG");
        const DeleteRequest request = Scanned(path, root);
        c.change(path, scratch);
        const DeleteReport report = Delete({request});
        ASSERT_EQ(report.items.size(), 1u);
        EXPECT_EQ(report.items[0].outcome, DeleteOutcome::Changed);
        EXPECT_EQ(report.failedCount, 1u);
        EXPECT_TRUE(Exists(path));
        DeleteFileW(ToLongPath(path).c_str());
        DeleteFileW(ToLongPath(scratch.Sub(L"elsewhere.dat")).c_str());
    }
}

TEST_F(DeleterTest, ReadOnlyAndHiddenFilesAreDeleted) {
    const std::wstring readOnly = scratch.MakeFile(L"root\\ro.tmp", "r");
    const std::wstring hidden = scratch.MakeFile(L"root\\hidden.tmp", "h");
    ASSERT_TRUE(SetFileAttributesW(ToLongPath(readOnly).c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesW(ToLongPath(hidden).c_str(), FILE_ATTRIBUTE_HIDDEN));
    const DeleteReport report = Delete({Scanned(readOnly, root), Scanned(hidden, root)});
    EXPECT_EQ(report.items[0].outcome, DeleteOutcome::Deleted);
    EXPECT_EQ(report.items[1].outcome, DeleteOutcome::Deleted);
    EXPECT_FALSE(Exists(readOnly));
    EXPECT_FALSE(Exists(hidden));
}

TEST_F(DeleterTest, FileHeldOpenByAnotherProcessIsInUse) {
    const std::wstring path = scratch.MakeFile(L"root\\held.log", "held");
    const DeleteRequest request = Scanned(path, root);
    test::FileHolder holder(path);
    ASSERT_TRUE(holder.Holding());
    const DeleteReport report = Delete({request});
    EXPECT_EQ(report.items[0].outcome, DeleteOutcome::InUse);
    EXPECT_EQ(report.items[0].error, static_cast<std::uint32_t>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(report.items[0].bytes, 4u);
    EXPECT_TRUE(Exists(path));
}

TEST_F(DeleterTest, PathOverOneThousandCharacters) {
    std::wstring relative = L"root";
    while (relative.size() < 1040) {
        relative += L"\\" + std::wstring(60, L'd');
    }
    const std::wstring path = scratch.MakeFile(relative + L"\\deep.tmp", "deep");
    ASSERT_GT(path.size(), 1000u);
    ASSERT_TRUE(Exists(path));
    const DeleteReport report = Delete({Scanned(path, root)});
    EXPECT_EQ(report.items[0].outcome, DeleteOutcome::Deleted);
    EXPECT_FALSE(Exists(path));
}

TEST_F(DeleterTest, ProtectedExcludedAndOutsideRootAreBlocked) {
    const std::wstring excludedFolder = scratch.MakeDir(L"root\\keep");
    const std::wstring excluded = scratch.MakeFile(L"root\\keep\\x.tmp", "x");
    const std::wstring outside = scratch.MakeFile(L"outside.tmp", "o");
    SafetyPolicy::Instance().SetUserExclusions({excludedFolder + L"\\"});

    std::vector<DeleteRequest> requests = {Scanned(excluded, root), Scanned(outside, root)};
    DeleteRequest windows;
    windows.path = L"C:\\windows\\system32";
    windows.root = L"C:\\windows";
    requests.push_back(windows);
    const DeleteReport report = Delete(requests);

    for (const DeleteItemResult& item : report.items) {
        EXPECT_EQ(item.outcome, DeleteOutcome::Blocked) << WideToUtf8(item.path);
    }
    EXPECT_TRUE(Exists(excluded));
    EXPECT_TRUE(Exists(outside));
    EXPECT_TRUE(Exists(L"C:\\windows\\system32"));
    EXPECT_EQ(report.failedCount, 3u);
}

TEST_F(DeleterTest, SamePathTwiceGetsTwoOutcomes) {
    const std::wstring path = scratch.MakeFile(L"root\\twice.tmp", "12345");
    const DeleteRequest request = Scanned(path, root);
    const DeleteReport report = Delete({request, request});
    ASSERT_EQ(report.items.size(), 2u);
    EXPECT_EQ(report.items[0].outcome, DeleteOutcome::Deleted);
    EXPECT_EQ(report.items[1].outcome, DeleteOutcome::NotFound);
    EXPECT_EQ(report.bytesFreed, 5u);
    EXPECT_EQ(CleanLogLines().size(), 2u);
}

TEST_F(DeleterTest, CancelHalfWayStillGivesOneOutcomePerRequest) {
    std::vector<DeleteRequest> requests;
    for (int i = 0; i < 100; ++i) {
        requests.push_back(
            Scanned(scratch.MakeFile(L"root\\f" + std::to_wstring(i) + L".tmp", "z"), root));
    }
    CancelToken cancel;
    // The first progress report always passes the rate limit: cancel right there.
    const ProgressCallback progress = [&](const Progress&) { cancel.Cancel(); };
    const DeleteReport report =
        Deleter::Delete(requests, {DeleteMode::Permanent, true, false, true}, progress, cancel);
    ASSERT_EQ(report.items.size(), 100u);
    EXPECT_EQ(report.items[0].outcome, DeleteOutcome::Deleted);
    for (std::size_t i = 1; i < 100; ++i) {
        EXPECT_EQ(report.items[i].outcome, DeleteOutcome::Cancelled) << i;
        EXPECT_TRUE(Exists(requests[i].path)) << i;
    }
    EXPECT_EQ(report.removedCount, 1u);
    EXPECT_EQ(report.failedCount, 99u);
    EXPECT_EQ(CleanLogLines().size(), 100u);
}

TEST_F(DeleterTest, RemovesEmptiedParentsButNeverTheRoot) {
    const std::wstring file = scratch.MakeFile(L"root\\a\\b\\f.tmp", "f");
    const std::wstring sibling = scratch.MakeFile(L"root\\c\\keep.txt", "k");
    const DeleteReport report =
        Delete({Scanned(file, root)}, {DeleteMode::Permanent, true, true, true});
    EXPECT_EQ(report.items[0].outcome, DeleteOutcome::Deleted);
    EXPECT_FALSE(Exists(scratch.Sub(L"root\\a\\b")));
    EXPECT_FALSE(Exists(scratch.Sub(L"root\\a")));
    EXPECT_TRUE(Exists(root));
    EXPECT_TRUE(Exists(sibling));
    EXPECT_EQ(report.items.size(), 1u);
}

TEST_F(DeleterTest, RecycleNeverFallsBackToPermanentDeletion) {
    const std::wstring path = scratch.MakeFile(L"root\\recycle-me.tmp", "r");
    const DeleteReport report = Delete({Scanned(path, root), Scanned(path, root)},
                                       {DeleteMode::Recycle, true, false, true});
    ASSERT_EQ(report.items.size(), 2u);
    if (report.items[0].outcome == DeleteOutcome::Recycled) {
        // A shell that can recycle: the second copy was queued after a flush and is gone.
        EXPECT_FALSE(Exists(path));
        EXPECT_EQ(report.items[1].outcome, DeleteOutcome::NotFound);
    } else {
        // This Wine's file operation object cannot delete: the file must stay.
        EXPECT_EQ(report.items[0].outcome, DeleteOutcome::Failed);
        EXPECT_TRUE(Exists(path));
    }
    EXPECT_EQ(report.removedCount + report.failedCount, 2u);
}

TEST_F(DeleterTest, DeleteTreeOnAnAllowedRootDeletesContentsThenTheTop) {
    scratch.MakeFile(L"root\\t\\x.tmp", "x");
    scratch.MakeFile(L"root\\t\\deeper\\y.tmp", "yy");
    const std::wstring top = scratch.Sub(L"root\\t");
    CancelToken cancel;
    const DeleteReport report = Deleter::DeleteTree(
        top, {top}, {DeleteMode::Permanent, true, false, true}, cancel, nullptr);
    ASSERT_EQ(report.items.size(), 4u);  // two files, one folder, the top
    EXPECT_FALSE(Exists(scratch.Sub(L"root\\t\\deeper")));
    EXPECT_EQ(report.items.back().outcome, DeleteOutcome::Deleted);
    EXPECT_EQ(report.bytesFreed, 3u);
}

TEST_F(DeleterTest, DeleteTreeBelowAnAllowedRootRemovesTheTop) {
    scratch.MakeFile(L"root\\t\\x.tmp", "x");
    const std::wstring top = scratch.Sub(L"root\\t");
    CancelToken cancel;
    const DeleteReport report = Deleter::DeleteTree(
        top, {root}, {DeleteMode::Permanent, true, false, true}, cancel, nullptr);
    ASSERT_EQ(report.items.size(), 2u);
    EXPECT_EQ(report.items[1].outcome, DeleteOutcome::Deleted);
    EXPECT_FALSE(Exists(top));
    EXPECT_TRUE(Exists(root));
}

// Folder links stand in for junctions here: this Wine shows a Linux folder symlink as a folder
// reparse point. The targets hold files that must survive every one of these deletions.
class DeleterLinkTest : public DeleterTest {
protected:
    void SetUp() override {
        DeleterTest::SetUp();
        precious = scratch.MakeFile(L"precious\\keep.doc", "precious");
    }
    std::wstring precious;
};

TEST_F(DeleterLinkTest, FolderReplacedByALinkIsChanged) {
    const std::wstring folder = scratch.MakeDir(L"root\\cache");
    const DeleteRequest request = Scanned(folder, root);
    ASSERT_TRUE(RemoveDirectoryW(ToLongPath(folder).c_str()));
    test::LinuxSymlink link(scratch, L"root\\cache", L"precious");
    if (!link.Made()) {
        GTEST_SKIP() << link.Why();
    }
    const DeleteReport report = Delete({request});
    // Windows opens the link itself and sees a reparse point where a folder was (Changed);
    // this Wine opens the target, whose final path then betrays the redirection (Blocked).
    const DeleteOutcome outcome = report.items[0].outcome;
    EXPECT_TRUE(outcome == DeleteOutcome::Changed || outcome == DeleteOutcome::Blocked)
        << static_cast<int>(outcome);
    EXPECT_EQ(report.failedCount, 1u);
    EXPECT_TRUE(Exists(precious));
}

TEST_F(DeleterLinkTest, FileReachedThroughALinkedFolderIsBlocked) {
    test::LinuxSymlink link(scratch, L"root\\linked", L"precious");
    if (!link.Made()) {
        GTEST_SKIP() << link.Why();
    }
    DeleteRequest request = Scanned(scratch.Sub(L"root\\linked\\keep.doc"), root);
    const DeleteReport report = Delete({request});
    EXPECT_EQ(report.items[0].outcome, DeleteOutcome::Blocked);
    EXPECT_TRUE(Exists(precious));
}

TEST_F(DeleterLinkTest, TreeDeletionNeverEntersALink) {
    scratch.MakeFile(L"root\\tree\\a.tmp", "a");
    test::LinuxSymlink link(scratch, L"root\\tree\\inner", L"precious");
    if (!link.Made()) {
        GTEST_SKIP() << link.Why();
    }
    const std::wstring top = scratch.Sub(L"root\\tree");
    CancelToken cancel;
    const DeleteReport report = Deleter::DeleteTree(
        top, {root}, {DeleteMode::Permanent, true, false, true}, cancel, nullptr);
    EXPECT_TRUE(Exists(precious));
    EXPECT_FALSE(Exists(scratch.Sub(L"root\\tree\\a.tmp")));
    EXPECT_EQ(report.removedCount + report.failedCount, report.items.size());
    EXPECT_EQ(test::ReadFileBytes(precious).value_or(""), "precious");
}

}  // namespace
}  // namespace purvex::core
