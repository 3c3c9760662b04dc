#include "app/languages.h"

#include <gtest/gtest.h>

namespace purvex::app {
namespace {

TEST(LanguagesTest, LookupIgnoresCaseButNotLength) {
    ASSERT_NE(FindLanguage(L"PT-pt"), nullptr);
    EXPECT_EQ(FindLanguage(L"PT-pt")->code, L"pt-PT");
    EXPECT_EQ(FindLanguage(L"zh-cn")->resourceId, 202);
    EXPECT_EQ(FindLanguage(L"pt"), nullptr);
    EXPECT_EQ(FindLanguage(L""), nullptr);
    EXPECT_EQ(LocaleNameForLanguage(L"ko"), L"ko-KR");
    EXPECT_EQ(LocaleNameForLanguage(L"xx"), L"en-US");
    EXPECT_EQ(SupportedLanguages().size(), 9u);
}

}  // namespace
}  // namespace purvex::app
