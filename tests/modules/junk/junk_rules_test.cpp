#include "modules/junk/junk_rules.h"

#include <gtest/gtest.h>
#include <string>

#include "core/text.h"
#include "modules/junk/junk_catalog.h"

namespace purvex::junk {
namespace {

const JunkCategory& Category(std::string_view id) {
    for (const JunkCategory& category : BuiltinJunkCatalog()) {
        if (category.id == id) {
            return category;
        }
    }
    ADD_FAILURE() << "no category " << id;
    return BuiltinJunkCatalog().front();
}

TEST(JunkRulesTest, AgeTest) {
    constexpr std::uint64_t now = 134'000'000'000'000'000ull;
    constexpr std::uint64_t second = 10'000'000ull;
    const struct {
        std::uint32_t hours;
        std::uint64_t lastWrite;
        bool taken;
    } cases[] = {
        {0, now - second, true},  // the setting's "Off"
        {0, now + 3600 * second, true},
        {24, 0, true},  // time unknown
        {24, now + second, false},
        {24, now, false},
        {24, now - 24 * kFileTimeHour, true},
        {24, now - 24 * kFileTimeHour + 1, false},
        {1, now - kFileTimeHour - 1, true},
        {4'000'000'000u, 1, false},  // far beyond any real age, and no overflow
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsOldEnough(c.hours, c.lastWrite, now), c.taken)
            << c.hours << "h, written " << static_cast<long long>(now - c.lastWrite);
    }
}

TEST(JunkRulesTest, RequiredAgeFollowsTheCategoryRule) {
    JunkCategory fixed;
    fixed.ageRule = AgeRule::Fixed;
    fixed.ageHours = 72;
    EXPECT_EQ(RequiredAgeHours(fixed, 24), 72u);
    EXPECT_EQ(RequiredAgeHours(Category("junk.temp"), 24), 24u);
    EXPECT_EQ(RequiredAgeHours(Category("junk.temp"), 0), 0u);
    EXPECT_EQ(RequiredAgeHours(Category("junk.thumbs"), 24), 0u);
}

TEST(JunkRulesTest, OneClickNeedsSelectedLowRiskCatalogGroups) {
    using core::Risk;
    EXPECT_TRUE(IsOneClickSafe(false, false, true, Risk::None));
    EXPECT_TRUE(IsOneClickSafe(false, false, true, Risk::Low));
    EXPECT_FALSE(IsOneClickSafe(false, false, true, Risk::Medium));
    EXPECT_FALSE(IsOneClickSafe(false, false, false, Risk::Low));
    EXPECT_FALSE(IsOneClickSafe(true, false, true, Risk::Low));
    EXPECT_FALSE(IsOneClickSafe(false, true, true, Risk::Low));
    EXPECT_FALSE(IsOneClickSafe(false, false, true, Risk::Locked));
}

TEST(JunkRulesTest, PatternsMatchFileNamesOnly) {
    const struct {
        const wchar_t* patterns;
        const wchar_t* name;
        bool taken;
    } cases[] = {
        {L"thumbcache_*.db;iconcache_*.db", L"thumbcache_96.db", true},
        {L"thumbcache_*.db;iconcache_*.db", L"iconcache_wide.db", true},
        {L"thumbcache_*.db;iconcache_*.db", L"ThumbCache_1280.DB", true},
        {L"thumbcache_*.db;iconcache_*.db", L"thumbcache_96.db-journal", false},
        {L"*.pf", L"CHROME.EXE-1A2B3C4D.pf", true},
        {L"*.pf", L"Layout.ini", false},
        {L"MEMORY.DMP", L"memory.dmp", true},
        {L"MEMORY.DMP", L"MEMORY.DMP.old", false},
        {L"", L"anything.tmp", true},
        {L" ;\t; \uFEFF", L"anything.tmp", false},
        {L" *.log ;\r\n", L"setup.log", true},
        {L"a?c", L"abc", true},
        {L"a?c", L"ac", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FilePatterns(c.patterns).Matches(c.name), c.taken)
            << core::WideToUtf8(c.patterns) << " / " << core::WideToUtf8(c.name);
    }
}

TEST(JunkRulesTest, ServicingLogsAreSkippedInAnyCase) {
    const JunkCategory& logs = Category("junk.logs");
    EXPECT_TRUE(IsSkippedName(logs, L"dism.log"));
    EXPECT_TRUE(IsSkippedName(logs, L"DISM.LOG"));
    EXPECT_TRUE(IsSkippedName(logs, L"cbs.log"));
    EXPECT_TRUE(IsSkippedName(logs, L"CbsPersist.log"));
    EXPECT_FALSE(IsSkippedName(logs, L"dism.log.old"));
    EXPECT_FALSE(IsSkippedName(logs, L"CbsPersist_20260101.log"));
    EXPECT_FALSE(IsSkippedName(Category("junk.temp"), L"dism.log"));
}

}  // namespace
}  // namespace purvex::junk
