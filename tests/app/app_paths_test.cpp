#include "app/app_paths.h"

#include <gtest/gtest.h>

#include "core/fs/directory.h"
#include "support/scratch_dir.h"

namespace purvex::app {
namespace {

TEST(AppPathsTest, DataFolderUnderLocalAppDataByDefault) {
    test::ScratchDir scratch;
    const std::wstring program = scratch.MakeDir(L"prog");
    const AppPaths paths = ChooseAppPaths(program, L"C:\\users\\u\\AppData\\Local");
    EXPECT_FALSE(paths.portable);
    EXPECT_EQ(paths.programFolder, program);
    EXPECT_EQ(paths.dataFolder, L"C:\\users\\u\\AppData\\Local\\Purvex");
    EXPECT_EQ(paths.logsFolder, L"C:\\users\\u\\AppData\\Local\\Purvex\\logs");
}

TEST(AppPathsTest, PortableIniFileKeepsDataBesideTheProgram) {
    test::ScratchDir scratch;
    const std::wstring program = scratch.MakeDir(L"prog");
    scratch.MakeFile(L"prog\\portable.ini");
    const AppPaths paths = ChooseAppPaths(program, L"C:\\users\\u\\AppData\\Local");
    EXPECT_TRUE(paths.portable);
    EXPECT_EQ(paths.dataFolder, program);
    EXPECT_EQ(paths.logsFolder, program + L"\\logs");
}

TEST(AppPathsTest, PortableIniFolderIsNotPortableMode) {
    test::ScratchDir scratch;
    const std::wstring program = scratch.MakeDir(L"prog");
    scratch.MakeDir(L"prog\\portable.ini");
    const AppPaths paths = ChooseAppPaths(program, L"C:\\local");
    EXPECT_FALSE(paths.portable);
    EXPECT_EQ(paths.dataFolder, L"C:\\local\\Purvex");
}

TEST(AppPathsTest, MissingLocalAppDataFallsBackToProgramFolderWithoutPortable) {
    test::ScratchDir scratch;
    const std::wstring program = scratch.MakeDir(L"prog");
    const AppPaths paths = ChooseAppPaths(program, L"");
    EXPECT_FALSE(paths.portable);
    EXPECT_EQ(paths.dataFolder, program);
    EXPECT_EQ(paths.logsFolder, program + L"\\logs");
}

TEST(AppPathsTest, NothingKnownGivesEmptyFolders) {
    const AppPaths paths = ChooseAppPaths(L"", L"");
    EXPECT_TRUE(paths.dataFolder.empty());
    EXPECT_TRUE(paths.logsFolder.empty());
    EXPECT_FALSE(paths.portable);
}

TEST(AppPathsTest, CreatesDataAndLogsFoldersWithParents) {
    test::ScratchDir scratch;
    const AppPaths paths = ChooseAppPaths(scratch.MakeDir(L"prog"), scratch.Sub(L"deep\\local"));
    CreateAppFolders(paths);
    EXPECT_TRUE(core::DirectoryExists(paths.dataFolder));
    EXPECT_TRUE(core::DirectoryExists(paths.logsFolder));
}

TEST(AppPathsTest, RealFoldersOfThisProcess) {
    const std::wstring local = FindLocalAppDataFolder();
    EXPECT_FALSE(local.empty());
    EXPECT_NE(local.back(), L'\\');
    const std::wstring program = FindProgramFolder();
    ASSERT_FALSE(program.empty());
    EXPECT_NE(program.rfind(L"\\\\?\\", 0), 0u);
    EXPECT_TRUE(core::DirectoryExists(program));
}

TEST(AppPathsTest, TrimsTrailingSeparators) {
    EXPECT_EQ(TrimTrailingSeparators(L"C:\\a\\/\\"), L"C:\\a");
    EXPECT_EQ(TrimTrailingSeparators(L""), L"");
}

}  // namespace
}  // namespace purvex::app
