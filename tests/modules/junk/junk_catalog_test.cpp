#include "modules/junk/junk_catalog.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

#include "app/language_resource.h"
#include "app/language_table.h"
#include "app/languages.h"
#include "core/fs/locations.h"
#include "core/fs/path_text.h"
#include "core/text.h"
#include "modules/junk/junk_rules.h"

namespace purvex::junk {
namespace {

using core::Risk;

TEST(JunkCatalogTest, SixteenCategoriesInTheirFixedOrder) {
    const struct {
        const char* shortName;
        std::uint16_t icon;
        Risk risk;
        bool selected;
        AgeRule age;
        std::size_t locations;
        bool oneClick;
    } expected[] = {
        {"temp", 26, Risk::Low, true, AgeRule::TempSetting, 3, true},
        {"wupdate", 43, Risk::Medium, true, AgeRule::TempSetting, 1, false},
        {"delivery", 25, Risk::Medium, true, AgeRule::TempSetting, 2, false},
        {"defender", 31, Risk::Medium, true, AgeRule::None, 3, false},
        {"thumbs", 40, Risk::Low, true, AgeRule::None, 1, true},
        {"shader", 46, Risk::Low, true, AgeRule::None, 10, true},
        {"browser", 46, Risk::Low, true, AgeRule::None, 17, true},
        {"wer", 28, Risk::Low, true, AgeRule::None, 3, true},
        {"logs", 39, Risk::Medium, true, AgeRule::TempSetting, 1, false},
        {"prefetch", 5, Risk::Medium, false, AgeRule::None, 1, false},
        {"fontcache", 44, Risk::Low, false, AgeRule::None, 1, false},
        {"patchcache", 42, Risk::Medium, false, AgeRule::None, 1, false},
        {"apps", 46, Risk::Low, true, AgeRule::None, 18, true},
        {"dumps", 29, Risk::High, false, AgeRule::None, 3, false},
        {"upgradelogs", 39, Risk::Medium, false, AgeRule::TempSetting, 2, false},
        {"recyclebin", 24, Risk::High, false, AgeRule::None, 0, false},
    };
    const std::vector<JunkCategory>& catalog = BuiltinJunkCatalog();
    ASSERT_EQ(catalog.size(), std::size(expected));
    EXPECT_EQ(&catalog, &BuiltinJunkCatalog());
    for (std::size_t i = 0; i < catalog.size(); ++i) {
        const JunkCategory& c = catalog[i];
        const std::string name = expected[i].shortName;
        SCOPED_TRACE(name);
        EXPECT_EQ(c.id, "junk." + name);
        EXPECT_EQ(c.nameKey, "junk.cat." + name + ".name");
        EXPECT_EQ(c.descKey, "junk.cat." + name + ".desc");
        EXPECT_EQ(c.icon, expected[i].icon);
        EXPECT_EQ(c.risk, expected[i].risk);
        EXPECT_EQ(c.defaultSelected, expected[i].selected);
        EXPECT_EQ(c.ageRule, expected[i].age);
        EXPECT_EQ(c.ageHours, 0u);
        EXPECT_EQ(c.locations.size(), expected[i].locations);
        EXPECT_EQ(c.isRecycleBin, name == "recyclebin");
        EXPECT_EQ(IsOneClickSafe(c), expected[i].oneClick);
        EXPECT_EQ(JunkCategoryIcon(c.id), c.icon);
    }
}

TEST(JunkCatalogTest, BrowserCachesOnlyAndFilesDirectlyInTheirFolders) {
    const std::vector<JunkCategory>& catalog = BuiltinJunkCatalog();
    const std::vector<JunkLocation>& browser = catalog[6].locations;
    const std::wstring chrome = L"%LOCALAPPDATA%\\Google\\Chrome\\User Data\\*\\";
    EXPECT_EQ(browser[0].pathTemplate, chrome + L"Cache");
    EXPECT_EQ(browser[1].pathTemplate, chrome + L"Code Cache");
    EXPECT_EQ(browser[2].pathTemplate, chrome + L"GPUCache");
    EXPECT_EQ(browser[15].pathTemplate, L"%LOCALAPPDATA%\\Mozilla\\Firefox\\Profiles\\*\\cache2");
    for (const JunkLocation& location : browser) {
        const std::wstring folder = core::FileNamePart(location.pathTemplate);
        EXPECT_TRUE(folder == L"Cache" || folder == L"Code Cache" || folder == L"GPUCache" ||
                    folder == L"cache2" || folder == L"INetCache")
            << core::WideToUtf8(location.pathTemplate);
    }
    // Only these three take the files of one folder and nothing below it.
    EXPECT_FALSE(catalog[4].locations[0].recursive);  // thumbnails
    EXPECT_FALSE(catalog[9].locations[0].recursive);  // prefetch
    EXPECT_EQ(catalog[13].locations[0].pathTemplate, L"%SystemRoot%");
    EXPECT_FALSE(catalog[13].locations[0].recursive);  // MEMORY.DMP
    int flat = 0;
    for (const JunkCategory& category : catalog) {
        for (const JunkLocation& location : category.locations) {
            flat += location.recursive ? 0 : 1;
        }
    }
    EXPECT_EQ(flat, 3);
}

// Every template expands with exactly the variables the location rules know, and '*' only
// ever stands for a whole folder name.
TEST(JunkCatalogTest, TemplatesUseOnlyKnownVariablesAndWholeSegmentWildcards) {
    const std::vector<std::wstring> known = {
        L"TEMP",    L"SystemRoot",   L"SystemDrive",     L"ProgramData",
        L"APPDATA", L"LOCALAPPDATA", L"LOCALAPPDATALOW", L"USERSROOT"};
    const core::VariableResolver resolver = [&](const std::wstring& name) -> std::wstring {
        for (const std::wstring& k : known) {
            if (k == name) {
                return L"C:\\v\\" + name;
            }
        }
        return {};
    };
    for (const JunkCategory& category : BuiltinJunkCatalog()) {
        for (const JunkLocation& location : category.locations) {
            const std::string text = core::WideToUtf8(location.pathTemplate);
            const std::wstring expanded = core::ExpandVariables(location.pathTemplate, resolver);
            EXPECT_FALSE(expanded.empty()) << text;
            EXPECT_EQ(expanded.find(L'%'), std::wstring::npos) << text;
            EXPECT_EQ(expanded.find(L"\\\\"), std::wstring::npos) << text;
            EXPECT_NE(expanded.back(), L'\\') << text;
            for (std::size_t at = expanded.find(L'*'); at != std::wstring::npos;
                 at = expanded.find(L'*', at + 1)) {
                EXPECT_EQ(expanded[at - 1], L'\\') << text;
                EXPECT_TRUE(at + 1 == expanded.size() || expanded[at + 1] == L'\\') << text;
            }
        }
    }
}

TEST(JunkCatalogTest, EveryNameAndDescriptionIsInEveryLanguageTable) {
    std::vector<std::string> keys = {"junk.deep.group", "junk.deep.desc"};
    for (const JunkCategory& category : BuiltinJunkCatalog()) {
        keys.emplace_back(category.nameKey);
        keys.emplace_back(category.descKey);
    }
    for (const app::LanguageInfo& language : app::SupportedLanguages()) {
        const std::optional<std::string_view> bytes =
            app::LanguageResourceBytes(language.resourceId);
        ASSERT_TRUE(bytes) << core::WideToUtf8(language.code);
        const app::LanguageTableParse parsed = app::ParseLanguageTable(*bytes);
        for (const std::string& key : keys) {
            EXPECT_TRUE(parsed.table->contains(key))
                << core::WideToUtf8(language.code) << " lacks " << key;
        }
    }
}

TEST(JunkCatalogTest, UnknownIdsShowTheFolderIcon) {
    EXPECT_EQ(JunkCategoryIcon("junk.temp"), 26);
    EXPECT_EQ(JunkCategoryIcon("JUNK.TEMP"), kFolderIcon);
    EXPECT_EQ(JunkCategoryIcon("junk.deep.C:\\Users\\x\\cache"), kFolderIcon);
    EXPECT_EQ(JunkCategoryIcon(""), kFolderIcon);
}

}  // namespace
}  // namespace purvex::junk
