#include "core/fs/paths.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "support/scratch_dir.h"

namespace purvex::core {
namespace {

using Parts = std::vector<std::wstring>;

TEST(PathsTest, NormalizePathGivesOneFormOrNothing) {
    const struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {LR"(C:/Windows//System32/)", LR"(C:\Windows\System32)"},
        {LR"(C:\)", LR"(C:\)"},
        {LR"(C:\\\)", LR"(C:\)"},
        {LR"(\\?\C:\x)", LR"(C:\x)"},
        {LR"(\??\C:\x\)", LR"(C:\x)"},
        {LR"(\\?\UNC\srv\share\x)", LR"(\\srv\share\x)"},
        {LR"(\\?\unc\srv\share\x)", LR"(\\srv\share\x)"},
        {LR"(\\srv\\share\\x\)", LR"(\\srv\share\x)"},
        {LR"(c:\a\.\b\..\c)", LR"(c:\a\c)"},
        {L"C:\\caf\u00e9\\\u6587", L"C:\\caf\u00e9\\\u6587"},
        {L"", L""},
        {LR"(C:)", L""},
        {LR"(relative\dir)", L""},
        {LR"(\rooted\dir)", L""},
        {LR"(C:\a|b)", L""},
        {LR"(C:\a\x:y)", L""},
        {LR"(C:\a"b)", L""},
        {LR"(C:\a*)", L""},
        {L"C:\\a\tb", L""},
        {LR"(\\.\C:)", L""},
        {LR"(\\.\pipe\x)", L""},
        {LR"(\\server)", L""},
        {LR"(\\server\)", L""},
        {LR"(1:\x)", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NormalizePath(c.in), c.out) << c.in;
    }
}

TEST(PathsTest, NormalizePathKeepsPathsPastTheOldLimit) {
    for (std::size_t length : {259u, 260u, 261u, 1000u, 1500u}) {
        std::wstring path = L"C:\\";
        while (path.size() < length) {
            path += std::wstring(std::min<std::size_t>(50, length - path.size()), L'd') + L"\\";
        }
        path.pop_back();
        std::wstring messy = path + L"\\\\";
        for (wchar_t& c : messy) {
            if (c == L'\\') {
                c = L'/';
            }
        }
        EXPECT_EQ(NormalizePath(messy), path) << length;
        EXPECT_EQ(NormalizePath(L"\\\\?\\" + path), path) << length;
    }
}

TEST(PathsTest, NormalizePathExpandsShortNamesOfExistingFolders) {
    test::ScratchDir scratch;
    const std::wstring folder = scratch.MakeDir(L"A Rather Long Folder Name");
    wchar_t shortName[MAX_PATH];
    const DWORD length = GetShortPathNameW(folder.c_str(), shortName, MAX_PATH);
    const std::wstring shortPath(shortName, length < MAX_PATH ? length : 0);
    if (shortPath.find(L'~') == std::wstring::npos) {
        GTEST_SKIP() << "this file system gives no 8.3 names";
    }
    EXPECT_TRUE(PathEquals(NormalizePath(shortPath), folder));
    EXPECT_TRUE(PathEquals(NormalizePath(shortPath + L"\\not\\there"), folder + L"\\not\\there"));
}

TEST(PathsTest, SplitPathSeparatesDriveShareAndNames) {
    const struct {
        const wchar_t* in;
        Parts out;
    } cases[] = {
        {L"", {}},
        {L"C:", {L"C:"}},
        {LR"(C:\)", {L"C:"}},
        {LR"(C:\Users\u1\Desktop)", {L"C:", L"Users", L"u1", L"Desktop"}},
        {LR"(C:\a\\b\)", {L"C:", L"a", L"b"}},
        {LR"(\\srv\share)", {LR"(\\srv\share)"}},
        {LR"(\\srv\share\x\y)", {LR"(\\srv\share)", L"x", L"y"}},
        {LR"(\\srv)", {LR"(\\srv)"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitPath(c.in), c.out) << c.in;
    }
}

TEST(PathsTest, IsUnderAndPathEqualsIgnoreCaseAndTrailingSeparators) {
    const struct {
        const wchar_t* path;
        const wchar_t* parent;
        bool under;
        bool equal;
    } cases[] = {
        {LR"(C:\Windows)", LR"(C:\)", true, false},
        {LR"(C:\Windows2)", LR"(C:\Windows)", false, false},
        {LR"(C:\Windows)", LR"(C:\Windows)", false, true},
        {LR"(c:\windows\)", LR"(C:\WINDOWS)", false, true},
        {LR"(C:\Windows\System32)", LR"(c:\windows\)", true, false},
        {LR"(C:\Windows)", LR"(C:\Windows\System32)", false, false},
        {LR"(C:\x)", L"", false, false},
        {LR"(\\srv\share\x)", LR"(\\srv\share)", true, false},
        {L"C:\\\u00c4\\b", L"c:\\\u00e4", true, false},
        {LR"(D:\x)", LR"(C:\)", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsUnder(c.path, c.parent), c.under) << c.path << L" | " << c.parent;
        EXPECT_EQ(PathEquals(c.path, c.parent), c.equal) << c.path << L" | " << c.parent;
    }
}

TEST(PathsTest, PathTextHelpers) {
    EXPECT_EQ(ToLongPath(LR"(C:\x)"), LR"(\\?\C:\x)");
    EXPECT_EQ(ToLongPath(LR"(\\?\C:\x)"), LR"(\\?\C:\x)");
    EXPECT_EQ(ToLongPath(LR"(\\srv\share\x)"), LR"(\\?\UNC\srv\share\x)");
    EXPECT_EQ(StripLongPathPrefix(LR"(\\?\C:\x)"), LR"(C:\x)");
    EXPECT_EQ(StripLongPathPrefix(LR"(\\?\UNC\srv\share\x)"), LR"(\\srv\share\x)");
    EXPECT_EQ(StripLongPathPrefix(LR"(C:\x)"), LR"(C:\x)");
    const struct {
        const wchar_t* path;
        const wchar_t* parent;
        const wchar_t* name;
    } cases[] = {
        {LR"(C:\dir)", LR"(C:\)", L"dir"},
        {LR"(C:\dir\)", LR"(C:\)", L""},
        {LR"(C:\)", L"", L""},
        {L"C:", L"", L"C:"},
        {LR"(C:\a\b)", LR"(C:\a)", L"b"},
        {LR"(C:/a/b)", LR"(C:/a)", L"b"},
        {LR"(\\srv\share\x)", LR"(\\srv\share)", L"x"},
        {L"name", L"", L"name"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParentPath(c.path), c.parent) << c.path;
        EXPECT_EQ(FileNamePart(c.path), c.name) << c.path;
    }
    EXPECT_EQ(JoinPath(LR"(C:\a)", LR"(\b)"), LR"(C:\a\b)");
    EXPECT_EQ(JoinPath(LR"(C:\)", L"b"), LR"(C:\b)");
    EXPECT_EQ(JoinPath(L"C:/a/", L"/b"), L"C:/a/b");
    EXPECT_EQ(JoinPath(L"", LR"(\b)"), L"b");
}

TEST(PathsTest, FoldCaseLowersBeyondAscii) {
    EXPECT_EQ(FoldCase(L"C:\\\u00c4RGER\\\u03a3\u0414"), L"c:\\\u00e4rger\\\u03c3\u0434");
    EXPECT_EQ(FoldCase(L""), L"");
}

TEST(PathsTest, WildcardMatchesOneComponent) {
    const struct {
        const wchar_t* pattern;
        const wchar_t* name;
        bool match;
    } cases[] = {
        {L"thumbcache_*.db", L"THUMBCACHE_32.DB", true},
        {L"a?c", L"abc", true},
        {L"a?c", L"ac", false},
        {L"*", L"", true},
        {L"*", L"anything", true},
        {L"", L"", true},
        {L"", L"a", false},
        {L"Temp", L"TEMP", true},
        {L"Temp", L"Temp2", false},
        {L"*.log", L"app.log.old", false},
        {L"*.log*", L"app.log.old", true},
        {L"a*b*c", L"aXXbYYbZc", true},
        {L"a*b*c", L"aXXbYYbZ", false},
        {L"**?", L"", false},
        {L"**", L"", true},
        {L"NTUSER.DAT*", L"ntuser.dat.LOG1", true},
        {L"\u00c4*", L"\u00e4rger", true},
        {L"?", L"\u00e9", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.match) << c.pattern << L" ~ " << c.name;
    }
}

TEST(PathsTest, MatchComponentsTellsEqualInsideOrNoMatch) {
    const Parts pattern = {L"C:", L"Users", L"*", L"Desktop"};
    EXPECT_EQ(MatchComponents({L"C:", L"Users", L"u1", L"Desktop"}, pattern), PathMatch::Equal);
    EXPECT_EQ(MatchComponents({L"c:", L"users", L"u1", L"desktop", L"x"}, pattern),
              PathMatch::Inside);
    EXPECT_EQ(MatchComponents({L"C:", L"Users"}, pattern), PathMatch::NoMatch);
    EXPECT_EQ(MatchComponents({L"C:", L"Users", L"u1", L"Documents"}, pattern), PathMatch::NoMatch);
    EXPECT_EQ(MatchComponents({L"C:"}, {}), PathMatch::NoMatch);
    EXPECT_EQ(MatchComponents({L"D:", L"pagefile.sys"}, {L"*", L"pagefile.sys"}), PathMatch::Equal);
}

}  // namespace
}  // namespace purvex::core
