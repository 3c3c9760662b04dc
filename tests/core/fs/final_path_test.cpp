#include "core/fs/final_path.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <string>

#include "core/fs/path_text.h"
#include "core/fs/paths.h"
#include "core/unique_handle.h"
#include "support/scratch_dir.h"

namespace purvex::core {
namespace {

UniqueFile OpenNoFollow(const std::wstring& path) {
    return UniqueFile(
        CreateFileW(ToLongPath(path).c_str(), FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

// A folder chain under the scratch folder whose full path is at least `length` characters.
std::wstring DeepFolder(const test::ScratchDir& scratch, std::size_t length) {
    std::wstring relative;
    int i = 0;
    while (scratch.Path().size() + relative.size() < length) {
        relative += (relative.empty() ? L"" : L"\\") + std::wstring(40, L'a' + (i++ % 26));
    }
    return scratch.MakeDir(relative);
}

TEST(FinalPathTest, NamesFilesAndFoldersAtEveryLength) {
    test::ScratchDir scratch;
    for (std::size_t length : {0u, 262u, 1000u, 1200u}) {
        const std::wstring folder = length == 0 ? scratch.Path() : DeepFolder(scratch, length);
        const std::wstring file = scratch.MakeFile(
            folder.substr(scratch.Path().size() + (length == 0 ? 0 : 1)) + L"\\f\u00e9.txt", "x");
        for (const std::wstring& path : {folder, file}) {
            UniqueFile handle = OpenNoFollow(path);
            ASSERT_TRUE(handle.Valid()) << path.size();
            const std::wstring final = FinalPathOfHandle(handle.Get());
            EXPECT_TRUE(EqualsIgnoreCase(final, path)) << path.size();
            EXPECT_TRUE(EqualsIgnoreCase(LongPathName(path), path)) << path.size();
        }
    }
}

TEST(FinalPathTest, InvalidHandleOrEmptyPathGiveEmpty) {
    EXPECT_EQ(FinalPathOfHandle(INVALID_HANDLE_VALUE), L"");
    EXPECT_EQ(FinalPathOfHandle(nullptr), L"");
    EXPECT_EQ(LongPathName(L""), L"");
}

}  // namespace
}  // namespace purvex::core
