#include "app/format_text.h"

#include <gtest/gtest.h>

namespace purvex::app {
namespace {

TEST(FormatTextTest, PlaceholdersEscapesAndLeftovers) {
    const struct {
        const wchar_t* pattern;
        const wchar_t* expected;
    } cases[] = {
        {L"{1} of {0} ({0})", L"b of a (a)"},
        {L"{{0}}", L"{0}"},
        {L"{x} {} {7} {2}", L"{x} {} {7} {2}"},
        {L"{0", L"{0"},
        {L"}{", L"}{"},
        {L"{00}{01}", L"ab"},
        {L"{99999999999999999999999}", L"{99999999999999999999999}"},
        {L"100%", L"100%"},
        {L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatText(c.pattern, {L"a", L"b"}), c.expected) << c.pattern;
    }
}

TEST(FormatTextTest, ArgumentsAreNotScannedAgain) {
    EXPECT_EQ(FormatText(L"{0}{1}", {L"{1}", L"x"}), L"{1}x");
}

}  // namespace
}  // namespace purvex::app
