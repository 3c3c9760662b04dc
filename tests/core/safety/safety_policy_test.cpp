#include "core/safety/safety_policy.h"

#include <windows.h>

#include <knownfolders.h>

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

#include "core/fs/locations.h"
#include "core/fs/path_text.h"
#include "core/fs/paths.h"
#include "core/text.h"
#include "support/linux_symlink.h"
#include "support/scratch_dir.h"

namespace purvex::core {
namespace {

using Roots = std::vector<std::wstring>;
constexpr auto Allow = SafetyVerdict::Allow;
constexpr auto DenyEmpty = SafetyVerdict::DenyEmpty;
constexpr auto DenyOutsideRoot = SafetyVerdict::DenyOutsideRoot;
constexpr auto DenyProtected = SafetyVerdict::DenyProtected;
constexpr auto DenyCritical = SafetyVerdict::DenyCritical;
constexpr auto DenyReparse = SafetyVerdict::DenyReparse;
constexpr auto DenyUserExcluded = SafetyVerdict::DenyUserExcluded;

struct Case {
    std::wstring path;
    Roots roots;
    SafetyVerdict expected;
};

void ExpectVerdicts(const SafetyPolicy& policy, const std::vector<Case>& cases,
                    bool checkReparse = false) {
    for (const Case& c : cases) {
        const SafetyCheck check = policy.Check(c.path, c.roots, checkReparse);
        EXPECT_EQ(WideToUtf8(SafetyVerdictName(check.verdict)),
                  WideToUtf8(SafetyVerdictName(c.expected)))
            << "path: " << WideToUtf8(c.path);
    }
}

// The short (8.3) spelling of an existing path, or empty where none is provided.
std::wstring ShortForm(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 4];
    const DWORD n = GetShortPathNameW(ToLongPath(path).c_str(), buffer, std::size(buffer));
    if (n == 0 || n >= std::size(buffer)) {
        return {};
    }
    std::wstring shortPath = StripLongPathPrefix(buffer);
    return shortPath.find(L'~') == std::wstring::npos ? std::wstring() : shortPath;
}

// Known locations of this machine, as the system rules see them.
struct Machine {
    std::wstring windows = WindowsFolder();
    std::wstring programFiles = NormalizePath(KnownFolderPath(FOLDERID_ProgramFiles));
    std::wstring profile = CurrentUserProfile();
    std::wstring usersRoot = ParentPath(CurrentUserProfile());
};

TEST(SafetyPolicyTest, VerdictsOverTheSystemRules) {
    const Machine m;
    ASSERT_FALSE(m.windows.empty());
    ASSERT_FALSE(m.profile.empty());
    const SafetyPolicy policy(SafetyRules::Instance());
    const std::wstring sys32 = m.windows + L"\\System32";
    const std::wstring temp = m.windows + L"\\Temp";
    const std::wstring local = m.profile + L"\\AppData\\Local";
    const std::wstring u1 = m.usersRoot + L"\\u1";
    std::wstring upper = sys32;
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    std::wstring lower = temp + L"\\X.TMP";
    CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
    std::wstring slashed = sys32 + L"//";
    std::replace(slashed.begin(), slashed.end(), L'\\', L'/');

    ExpectVerdicts(
        policy,
        {
            // Unusable paths.
            {L"", {L"C:\\"}, DenyEmpty},
            {L"C:", {L"C:\\"}, DenyEmpty},
            {L"relative\\x", {L"C:\\"}, DenyEmpty},
            {L"C:\\a|b", {L"C:\\"}, DenyEmpty},
            {L"\\\\.\\C:\\Windows", {L"C:\\"}, DenyEmpty},
            {L"\\\\server", {L"C:\\"}, DenyEmpty},
            {temp + L"\\x.tmp:stream", {temp}, DenyEmpty},
            // Drive and share roots, protected locations in every spelling.
            {L"C:\\", {L"C:\\"}, DenyCritical},
            {L"\\\\?\\C:\\", {L"C:\\"}, DenyCritical},
            {L"\\\\srv\\share", {L"\\\\srv"}, DenyCritical},
            {L"\\\\?\\UNC\\srv\\share\\", {}, DenyCritical},
            {sys32, {L"C:\\"}, DenyCritical},
            {upper, {L"C:\\"}, DenyCritical},
            {slashed, {L"C:\\"}, DenyCritical},
            {ToLongPath(sys32), {L"C:\\"}, DenyCritical},
            {sys32 + L".", {L"C:\\"}, DenyCritical},
            {sys32 + L" ", {L"C:\\"}, DenyCritical},
            {sys32 + L"\\..\\System32", {L"C:\\"}, DenyCritical},
            {m.windows, {L"C:\\"}, DenyCritical},
            {m.programFiles, {L"C:\\"}, DenyCritical},
            {m.usersRoot, {L"C:\\"}, DenyCritical},
            {u1, {m.usersRoot}, DenyCritical},
            {u1 + L"\\Downloads", {u1}, DenyCritical},
            {u1 + L"\\Downloads\\a.iso", {u1}, Allow},
            {m.profile + L"\\Documents", {m.profile}, DenyCritical},
            {local, {m.profile}, DenyCritical},
            // Roots.
            {temp + L"\\x.tmp", {temp}, Allow},
            {temp + L"\\x.tmp", {}, DenyOutsideRoot},
            {temp + L"\\x.tmp", {L"", L"C:"}, DenyOutsideRoot},
            {L"D:\\data\\f", {L"D:\\data"}, Allow},
            {L"D:\\data", {L"D:\\data"}, DenyOutsideRoot},
            {L"D:\\database\\f", {L"D:\\data"}, DenyOutsideRoot},
            {temp + L"\\..\\System32\\x.dll", {temp}, DenyOutsideRoot},
            // Critical areas and the junk inside them.
            {sys32 + L"\\x.dll", {m.windows}, DenyProtected},
            {lower, {temp}, Allow},
            {ToLongPath(temp + L"\\sub\\x.tmp"), {ToLongPath(temp)}, Allow},
            {temp, {m.windows}, DenyProtected},
            {m.windows + L"\\MEMORY.DMP", {m.windows}, Allow},
            {m.windows + L"\\memory.dmp", {m.windows}, Allow},
            {m.windows + L"\\MEMORY.DMP.old", {m.windows}, DenyProtected},
            {sys32 + L"\\d3d_cache\\blob", {sys32}, Allow},
            {m.programFiles + L"\\App\\cache.bin", {m.programFiles}, DenyProtected},
            {L"D:\\pagefile.sys", {L"D:\\"}, DenyProtected},
            {L"D:\\x\\pagefile.sys", {L"D:\\"}, Allow},
            {L"E:\\$Recycle.Bin\\S-1\\f", {L"E:\\"}, DenyProtected},
            {L"E:\\System Volume Information", {L"E:\\"}, DenyProtected},
            {u1 + L"\\NTUSER.DAT.LOG1", {u1}, DenyProtected},
            {u1 + L"\\AppData\\Local\\Packages\\App_1\\Settings\\s.dat", {u1}, DenyProtected},
            {u1 + L"\\AppData\\Local\\Packages\\App_1\\TempState\\t.tmp", {u1}, Allow},
            // Browser data is private wherever it is, except in an old Windows installation.
            {u1 + L"\\AppData\\Local\\Google\\Chrome\\User Data\\Default\\Cookies",
             {u1 + L"\\AppData\\Local"},
             DenyProtected},
            {u1 + L"\\AppData\\Local\\Vendor\\Browser\\Default\\Local Storage\\leveldb\\1.log",
             {u1 + L"\\AppData\\Local"},
             DenyProtected},
            {L"D:\\cookies\\f", {L"D:\\"}, DenyProtected},
            {L"C:\\Windows.old\\Users\\u\\AppData\\Local\\B\\Cookies", {L"C:\\Windows.old"}, Allow},
            {L"D:\\$Windows.~BT\\x\\IndexedDB\\f", {L"D:\\$Windows.~BT"}, Allow},
            // A drive's administrative share reaches the same protected folders.
            {L"\\\\localhost\\C$\\" + sys32.substr(3), {L"\\\\localhost\\C$"}, DenyCritical},
            {L"\\\\?\\UNC\\127.0.0.1\\c$\\" + sys32.substr(3) + L"\\x.dll",
             {L"\\\\127.0.0.1\\c$"},
             DenyProtected},
            {L"\\\\srv\\share\\dir\\f", {L"\\\\srv\\share"}, Allow},
            {L"\\\\?\\UNC\\srv\\share\\dir\\f", {L"\\\\SRV\\Share\\"}, Allow},
        });
}

TEST(SafetyPolicyTest, ShortNamesAreJudgedAsTheirLongForms) {
    const Machine m;
    const std::wstring shortProgramFiles = ShortForm(m.programFiles);
    if (shortProgramFiles.empty()) {
        GTEST_SKIP() << "no 8.3 name for the program files folder here";
    }
    const SafetyPolicy policy(SafetyRules::Instance());
    ExpectVerdicts(
        policy, {
                    {shortProgramFiles, {L"C:\\"}, DenyCritical},
                    {shortProgramFiles + L"\\Vendor\\app.exe", {L"C:\\"}, DenyProtected},
                    {shortProgramFiles + L"\\Vendor\\app.exe", {shortProgramFiles}, DenyProtected},
                });
}

TEST(SafetyPolicyTest, JudgedUnderTheLongestRootInNormalForm) {
    const SafetyPolicy policy(SafetyRules::Instance());
    const SafetyCheck check =
        policy.Check(L"d:/a/b//f", {L"D:\\A", L"D:\\a\\B\\", L"D:\\a\\b\\f"}, false);
    EXPECT_EQ(check.verdict, Allow);
    EXPECT_EQ(check.path, L"d:\\a\\b\\f");
    EXPECT_EQ(check.root, L"D:\\a\\B");
    const SafetyCheck empty = policy.Check(L"C:", {L"C:\\"}, false);
    EXPECT_TRUE(empty.path.empty());
    EXPECT_TRUE(empty.root.empty());
}

TEST(SafetyPolicyTest, UserExclusionsComeFirstInAnySpelling) {
    const Machine m;
    SafetyPolicy policy(SafetyRules::Instance());
    policy.SetUserExclusions({L"D:\\Keep\\", L"", L"relative", L"\\\\?\\d:\\other\\", m.windows,
                              L"\\\\nas\\share\\Photos", L"E:\\dir."});
    EXPECT_EQ(policy.UserExclusions().size(), 5u);
    ExpectVerdicts(policy,
                   {
                       {L"D:\\keep", {L"D:\\"}, DenyUserExcluded},
                       {L"d:\\KEEP\\f.txt", {L"D:\\"}, DenyUserExcluded},
                       {L"\\\\?\\D:\\keep\\sub\\f", {L"D:\\"}, DenyUserExcluded},
                       {L"\\\\localhost\\D$\\Keep\\f", {L"\\\\localhost\\D$"}, DenyUserExcluded},
                       {L"D:\\keeper\\f", {L"D:\\"}, Allow},
                       {L"D:\\Other\\x", {L"D:\\"}, DenyUserExcluded},
                       {m.windows + L"\\System32", {L"C:\\"}, DenyUserExcluded},
                       {L"\\\\NAS\\Share\\photos\\a.jpg", {L"\\\\nas\\share"}, DenyUserExcluded},
                       {L"E:\\dir\\f", {L"E:\\"}, DenyUserExcluded},
                   });
    policy.SetUserExclusions({});
    ExpectVerdicts(policy, {{L"D:\\keep\\f.txt", {L"D:\\"}, Allow}});
}

// Rules compiled against folders of a scratch tree, so that real links, long paths and short
// names can stand in for protected places.
class ScratchRules {
public:
    explicit ScratchRules(const test::ScratchDir& s)
        : folders_{{L"SystemRoot", {s.MakeDir(L"Windows")}},
                   {L"ProgramFiles", {s.MakeDir(L"Program Files")}},
                   {L"UsersRoot", {s.MakeDir(L"Users")}},
                   {L"ProfileList", {s.MakeDir(L"Users\\u1")}},
                   {L"LocalAppData", {s.MakeDir(L"Users\\u1\\AppData\\Local")}}},
          rules_([this](const KnownLocation& location, TemplateMode) {
              const auto it = folders_.find(std::wstring(location.name));
              return it == folders_.end() ? std::vector<std::wstring>() : it->second;
          }) {}

    const SafetyRules& Rules() const { return rules_; }

private:
    std::map<std::wstring, std::vector<std::wstring>> folders_;
    SafetyRules rules_;
};

TEST(SafetyPolicyTest, LinksBetweenRootAndItemDenyWhenAsked) {
    test::ScratchDir s;
    const ScratchRules rules(s);
    const SafetyPolicy policy(rules.Rules());
    s.MakeFile(L"Windows\\System32\\kernel.dll", "x");
    s.MakeFile(L"real\\sub\\f.tmp", "x");
    s.MakeFile(L"junk\\plain\\f.tmp", "x");
    test::LinuxSymlink toSystem(s, L"junk\\sys", L"Windows\\System32");
    test::LinuxSymlink asRoot(s, L"linkroot", L"real");
    test::LinuxSymlink loop(s, L"junk\\plain\\loop", L"junk");
    if (!toSystem.Made()) {
        GTEST_SKIP() << toSystem.Why();
    }
    const std::wstring junk = s.Sub(L"junk");
    const std::vector<Case> cases = {
        {junk + L"\\sys\\kernel.dll", {junk}, DenyReparse},
        {junk + L"\\plain\\loop\\plain\\loop\\plain\\f.tmp", {junk}, DenyReparse},
        {junk + L"\\plain\\f.tmp", {junk}, Allow},
        {junk + L"\\plain\\missing\\deeper\\f.tmp", {junk}, Allow},
        // The link itself may go: deleting a link removes only the link.
        {junk + L"\\sys", {junk}, Allow},
        // The root is the caller's choice and is not tested.
        {s.Sub(L"linkroot\\sub\\f.tmp"), {s.Sub(L"linkroot")}, Allow},
        {s.Sub(L"Windows\\System32\\kernel.dll"), {s.Path()}, DenyProtected},
        {s.Sub(L"Windows\\System32"), {s.Path()}, DenyCritical},
    };
    ExpectVerdicts(policy, cases, true);
    // Without the reparse check the same paths pass the name rules.
    ExpectVerdicts(policy, {{junk + L"\\sys\\kernel.dll", {junk}, Allow}}, false);

    // With a second root below the link, the way down from that root is plain.
    const SafetyCheck inner =
        policy.Check(junk + L"\\sys\\kernel.dll", {junk, junk + L"\\sys"}, true);
    EXPECT_EQ(inner.verdict, Allow);
    EXPECT_EQ(inner.root, junk + L"\\sys");
}

TEST(SafetyPolicyTest, LongPathsShortNamesAndOddNamesInARealTree) {
    test::ScratchDir s;
    const ScratchRules rules(s);
    const SafetyPolicy policy(rules.Rules());
    std::wstring deep = L"Windows\\Temp";
    while (s.Sub(deep).size() < 1050) {
        deep += L"\\" + std::wstring(100, L'd');
    }
    const std::wstring deepFile = s.MakeFile(deep + L"\\f.tmp", "x");
    std::wstring mid = L"Program Files";
    while (s.Sub(mid).size() < 300) {
        mid += L"\\" + std::wstring(40, L'p');
    }
    const std::wstring midFile = s.MakeFile(mid + L"\\app.exe", "x");
    ASSERT_GT(deepFile.size(), 1000u);
    std::vector<Case> cases = {
        {deepFile, {s.Sub(L"Windows\\Temp")}, Allow},
        {ToLongPath(deepFile), {s.Sub(L"windows\\temp\\")}, Allow},
        {midFile, {s.Path()}, DenyProtected},
        {s.Sub(L"WINDOWS\\system32\\"), {s.Path()}, DenyCritical},
        {s.Sub(L"Windows\\System32..."), {s.Path()}, DenyCritical},
        {s.Sub(L"users\\U1\\appdata\\LOCAL"), {s.Path()}, DenyCritical},
        {s.Sub(L"Users\\u1\\AppData\\Local\\Packages"), {s.Path()}, DenyProtected},
    };
    const std::wstring shortFolder = ShortForm(s.Sub(L"Program Files"));
    if (!shortFolder.empty()) {
        cases.push_back({shortFolder, {s.Path()}, DenyCritical});
        cases.push_back({shortFolder + mid.substr(13) + L"\\app.exe", {s.Path()}, DenyProtected});
        // Root and path both in short form must not hide the protected folder between them.
        cases.push_back(
            {shortFolder + mid.substr(13) + L"\\app.exe", {ShortForm(s.Path())}, DenyProtected});
    }
    ExpectVerdicts(policy, cases, true);
}

TEST(SafetyRulesTest, CriticalAreasAndTheJunkBelowThem) {
    test::ScratchDir s;
    const ScratchRules scratch(s);
    const SafetyRules& rules = scratch.Rules();
    const std::wstring windows = s.Sub(L"Windows");
    struct RuleCase {
        std::wstring path;
        bool critical;
        bool containsAllowed;
    };
    const std::vector<RuleCase> cases = {
        {L"", true, false},
        {windows, true, true},
        {windows + L"\\System32", true, true},  // d3d_cache lies below
        {windows + L"\\System32\\drivers", true, false},
        {windows + L"\\Temp", true, false},  // the junk folder itself
        {windows + L"\\Temp\\x.tmp", false, false},
        {windows + L"\\MEMORY.DMP", false, false},
        {s.Sub(L"Program Files"), true, false},
        {s.Sub(L"Users\\u2\\AppData\\Local\\Packages"), true, true},
        {s.Sub(L"Users\\u2\\AppData\\Local\\Packages\\App_1\\LocalCache\\c"), false, false},
        {s.Sub(L"Users\\u2\\Documents\\report.docx"), false, false},
        {L"C:\\pagefile.sys", true, false},
        {L"D:\\Vendor\\Cookies\\c", true, false},
        {L"D:\\Windows.old\\Vendor\\Cookies\\c", false, false},
    };
    for (const RuleCase& c : cases) {
        EXPECT_EQ(rules.IsCritical(c.path), c.critical) << WideToUtf8(c.path);
        EXPECT_EQ(rules.ContainsAllowedArea(c.path), c.containsAllowed) << WideToUtf8(c.path);
    }
}

TEST(SafetyRulesTest, SystemTablesCompileToRealPatterns) {
    const SafetyRules& rules = SafetyRules::Instance();
    EXPECT_GE(rules.ProtectedLocations().size(), 20u);
    EXPECT_GE(rules.CriticalAreas().size(), 15u);
    EXPECT_GE(rules.AllowedJunk().size(), 20u);
    EXPECT_EQ(SafetyVerdictName(DenyUserExcluded), L"DenyUserExcluded");
    EXPECT_EQ(SafetyVerdictName(static_cast<SafetyVerdict>(42)), L"Unknown");
}

}  // namespace
}  // namespace purvex::core
