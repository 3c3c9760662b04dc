#include "core/fs/locations.h"

#include <windows.h>

#include <knownfolders.h>

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

#include "core/fs/paths.h"
#include "support/linux_symlink.h"
#include "support/scratch_dir.h"

namespace purvex::core {
namespace {

using Pattern = std::vector<std::wstring>;

VariableResolver Variables(std::map<std::wstring, std::wstring> values) {
    return [values = std::move(values)](const std::wstring& name) {
        const auto it = values.find(name);
        return it == values.end() ? std::wstring() : it->second;
    };
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> v) {
    std::sort(v.begin(), v.end());
    return v;
}

TEST(LocationsTest, TableHoldsNineteenPlaceholdersInOrder) {
    const auto table = KnownLocations();
    ASSERT_EQ(table.size(), 19u);
    EXPECT_EQ(table.front().name, L"SystemRoot");
    EXPECT_EQ(table[5].name, L"UsersRoot");
    EXPECT_EQ(table.back().name, L"ProfileList");
    EXPECT_EQ(table.back().folderId, nullptr);
    ASSERT_NE(FindKnownLocation(L"localappdata"), nullptr);
    EXPECT_EQ(*FindKnownLocation(L"localappdata")->folderId, FOLDERID_LocalAppData);
    EXPECT_EQ(FindKnownLocation(L"LocalAppDat"), nullptr);
}

TEST(LocationsTest, ExpandVariablesFailsWholeOnAnyBadVariable) {
    const auto resolver = Variables({{L"A", LR"(C:\a\/)"}, {L"B", L"b"}, {L"SLASH", L"\\"}});
    const struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {LR"(%A%\x)", LR"(C:\a\x)"},
        {LR"(%A%\%B%\y)", LR"(C:\a\b\y)"},
        {LR"(C:\plain)", LR"(C:\plain)"},
        {LR"(%A%\%Z%)", L""},
        {LR"(%%\x)", L""},
        {LR"(%A%\%B)", L""},
        {LR"(%SLASH%\x)", L""},
        {L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExpandVariables(c.in, resolver), c.out) << c.in;
    }
}

TEST(LocationsTest, UserVariablesComeFromTheProfileNotTheEnvironment) {
    const std::wstring profile = CurrentUserProfile();
    ASSERT_FALSE(profile.empty());
    const std::wstring local = UserFolder(FOLDERID_LocalAppData);
    EXPECT_TRUE(IsUnder(local, profile)) << local;
    EXPECT_EQ(ResolveVariable(L"USERPROFILE"), profile);
    EXPECT_EQ(ResolveVariable(L"localappdata"), local);

    test::ScratchDir scratch;
    wchar_t saved[32768];
    const DWORD savedLength = GetEnvironmentVariableW(L"TEMP", saved, 32768);
    SetEnvironmentVariableW(L"TEMP", scratch.Path().c_str());
    EXPECT_EQ(ExpandVariables(LR"(%TEMP%\x)"), local + LR"(\Temp\x)");
    SetEnvironmentVariableW(L"TEMP", savedLength > 0 ? saved : nullptr);

    const std::wstring windows = WindowsFolder();
    ASSERT_GE(windows.size(), 3u);
    EXPECT_EQ(ResolveVariable(L"windir"), windows);
    EXPECT_EQ(ResolveVariable(L"SystemDrive"), windows.substr(0, 2));
    EXPECT_EQ(ResolveVariable(L"NoSuchName"), L"");
    EXPECT_EQ(ResolveVariable(L"PATH"), L"");
}

TEST(LocationsTest, ExpandLocationsFindsTheFoldersOfEveryProfile) {
    test::ScratchDir scratch;
    scratch.MakeDir(LR"(Users\u1\AppData\Local\Temp)");
    scratch.MakeDir(LR"(Users\U2\AppData\Local\TEMP)");
    scratch.MakeDir(LR"(Users\u3)");
    scratch.MakeDir(LR"(Users\u4\AppData\Local)");
    scratch.MakeFile(LR"(Users\u5\AppData\Local\Temp)", "a file, not a folder");
    scratch.MakeFile(LR"(Users\plainfile)", "x");
    const auto resolver = Variables({{L"USERSROOT", scratch.Sub(L"Users")}});

    EXPECT_EQ(Sorted(ExpandLocations(LR"(%USERSROOT%\*\AppData\Local\Temp)", resolver)),
              Sorted({scratch.Sub(LR"(Users\u1\AppData\Local\Temp)"),
                      scratch.Sub(LR"(Users\U2\AppData\Local\Temp)")}));
    EXPECT_EQ(Sorted(ExpandLocations(LR"(%USERSROOT%\u?)", resolver)),
              Sorted({scratch.Sub(LR"(Users\u1)"), scratch.Sub(LR"(Users\U2)"),
                      scratch.Sub(LR"(Users\u3)"), scratch.Sub(LR"(Users\u4)"),
                      scratch.Sub(LR"(Users\u5)")}));
    EXPECT_EQ(ExpandLocations(LR"(%USERSROOT%/u1//AppData/)", resolver),
              std::vector<std::wstring>{scratch.Sub(LR"(Users\u1\AppData)")});
    EXPECT_TRUE(ExpandLocations(LR"(%USERSROOT%\*\NoSuchFolder)", resolver).empty());
    EXPECT_TRUE(ExpandLocations(LR"(%USERSROOT%\zz*\AppData)", resolver).empty());
    EXPECT_TRUE(ExpandLocations(LR"(%USERSROOT%\plainfile)", resolver).empty());
    EXPECT_TRUE(ExpandLocations(LR"(%USERSROOT%\*\..\u1)", resolver).empty());
    EXPECT_TRUE(ExpandLocations(LR"(%USERSROOT%\zz*\.)", resolver).empty());
    EXPECT_TRUE(ExpandLocations(LR"(%NOPE%\x)", resolver).empty());
    EXPECT_TRUE(ExpandLocations(LR"(relative\x)", resolver).empty());
    EXPECT_TRUE(ExpandLocations(LR"(\\srv\share\x)", resolver).empty());
}

TEST(LocationsTest, ExpandLocationsNeverEntersALinkedProfile) {
    test::ScratchDir scratch;
    const std::wstring temp = scratch.MakeDir(LR"(Users\u1\AppData\Local\Temp)");
    const std::wstring users = scratch.Sub(L"Users");
    test::LinuxSymlink link(scratch, LR"(Users\linked)", LR"(Users\u1)");
    if (!link.Made()) {
        GTEST_SKIP() << link.Why();
    }
    const auto resolver = Variables({{L"USERSROOT", users}});
    const auto wildcard = ExpandLocations(LR"(%USERSROOT%\*\AppData\Local\Temp)", resolver);
    const auto named = ExpandLocations(LR"(%USERSROOT%\linked\AppData)", resolver);
    EXPECT_EQ(wildcard, std::vector<std::wstring>{temp});
    EXPECT_TRUE(named.empty());
}

TEST(LocationsTest, ExpandLocationsCopesWithManyMatchesAndLongPaths) {
    test::ScratchDir scratch;
    for (int i = 0; i < 150; ++i) {
        scratch.MakeDir(L"p" + std::to_wstring(1000 + i) + L"\\Cache");
    }
    scratch.MakeDir(L"p9999");
    std::wstring deep = L"deep";
    while (scratch.Path().size() + deep.size() < 1050) {
        deep += L"\\" + std::wstring(60, L'n');
    }
    scratch.MakeDir(deep + L"\\one\\leaf");
    scratch.MakeDir(deep + L"\\two\\leaf");
    const auto resolver = Variables({{L"ROOT", scratch.Path()}});

    const auto caches = ExpandLocations(LR"(%ROOT%\p*\Cache)", resolver);
    EXPECT_EQ(caches.size(), 150u);
    const auto leaves = ExpandLocations(L"%ROOT%\\" + deep + L"\\*\\LEAF", resolver);
    ASSERT_EQ(leaves.size(), 2u);
    for (const std::wstring& leaf : leaves) {
        EXPECT_GT(leaf.size(), 1050u);
        EXPECT_TRUE(EndsWithIgnoreCase(leaf, L"\\leaf")) << leaf;
        EXPECT_TRUE(IsUnder(leaf, scratch.Sub(deep)));
    }
}

TEST(LocationsTest, ExpandLocationsOnTheRealProfiles) {
    const std::wstring local = UserFolder(FOLDERID_LocalAppData);
    ASSERT_FALSE(local.empty());
    EXPECT_EQ(ExpandLocations(L"%LOCALAPPDATA%"), std::vector<std::wstring>{local});
    const auto profiles = ExpandLocations(LR"(%USERSROOT%\*)");
    const std::wstring profile = CurrentUserProfile();
    EXPECT_TRUE(std::any_of(profiles.begin(), profiles.end(),
                            [&](const std::wstring& p) { return PathEquals(p, profile); }));
}

TEST(LocationsTest, CompileTemplatesJoinsEveryCandidateOnceWithItsTail) {
    std::vector<TemplateMode> modes;
    const LocationCandidates candidates = [&](const KnownLocation& location, TemplateMode mode) {
        modes.push_back(mode);
        if (location.name == L"UsersRoot") {
            return std::vector<std::wstring>{LR"(C:\Users)", L"c:/users/", LR"(D:\Profiles)",
                                             L"not a path", L""};
        }
        return std::vector<std::wstring>{};
    };
    const std::vector<std::wstring> templates = {
        LR"({UsersRoot}\*\Desktop)",
        LR"({usersroot}\*\DESKTOP)",
        LR"(*\pagefile.sys)",
        LR"({Nope}\x)",
        LR"({UsersRoot)",
        LR"(C:\x)",
        LR"({Desktop})",
        LR"(*\pagefile.sys)",
    };
    const auto patterns = CompileTemplates(templates, TemplateMode::PreferredForm, candidates);
    EXPECT_EQ(patterns, (std::vector<Pattern>{{L"C:", L"Users", L"*", L"Desktop"},
                                              {L"D:", L"Profiles", L"*", L"Desktop"},
                                              {L"*", L"pagefile.sys"}}));
    EXPECT_TRUE(std::all_of(modes.begin(), modes.end(),
                            [](TemplateMode m) { return m == TemplateMode::PreferredForm; }));
}

TEST(LocationsTest, CompileTemplatesAsksTheSystem) {
    const std::wstring windows = NormalizePath(WindowsFolder());
    Pattern expected = SplitPath(windows);
    expected.push_back(L"System32");
    for (TemplateMode mode : {TemplateMode::AllForms, TemplateMode::PreferredForm}) {
        const std::vector<std::wstring> templates = {LR"({SystemRoot}\System32)"};
        const auto patterns = CompileTemplates(templates, mode);
        ASSERT_EQ(patterns.size(), 1u) << "every spelling of the Windows folder is the same";
        EXPECT_EQ(MatchComponents(expected, patterns[0]), PathMatch::Equal);
    }
}

// Two extra entries in the registry's profile list for the length of one test.
class TemporaryProfiles {
public:
    TemporaryProfiles(const std::wstring& a, const std::wstring& b) {
        Add(L"S-1-5-21-7000-7000-7000-7001", a);
        Add(L"S-1-5-21-7000-7000-7000-7002", b);
    }
    ~TemporaryProfiles() {
        for (const std::wstring& key : keys_) {
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
        }
    }

private:
    void Add(const std::wstring& sid, const std::wstring& folder) {
        const std::wstring key =
            L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\" + sid;
        HKEY handle = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &handle, nullptr),
                  ERROR_SUCCESS);
        keys_.push_back(key);
        RegSetValueExW(handle, L"ProfileImagePath", 0, REG_EXPAND_SZ,
                       reinterpret_cast<const BYTE*>(folder.c_str()),
                       static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(handle);
    }
    std::vector<std::wstring> keys_;
};

TEST(LocationsTest, ProfileListCompilesOnePatternPerRegisteredProfile) {
    test::ScratchDir scratch;
    const std::wstring one = scratch.MakeDir(L"one");
    const std::wstring two = scratch.MakeDir(L"two");
    // The second entry is written with a variable, as Windows writes its own.
    const TemporaryProfiles profiles(one, L"%SystemDrive%" + two.substr(2));
    const std::vector<std::wstring> templates = {LR"({ProfileList}\NTUSER.DAT*)"};
    const auto patterns = CompileTemplates(templates, TemplateMode::AllForms);
    auto has = [&](const std::wstring& folder) {
        Pattern expected = SplitPath(folder);
        expected.push_back(L"NTUSER.DAT*");
        return std::count(patterns.begin(), patterns.end(), expected) == 1;
    };
    EXPECT_TRUE(has(one));
    EXPECT_TRUE(has(two));
    EXPECT_TRUE(has(CurrentUserProfile()));
}

}  // namespace
}  // namespace purvex::core
