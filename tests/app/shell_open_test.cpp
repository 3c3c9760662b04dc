#include "app/shell_open.h"

#include <gtest/gtest.h>
#include <string>

#include "support/scratch_dir.h"

namespace purvex::app {
namespace {

TEST(ShellOpenTest, OnlyPlainHttpsAndMailtoLinksAreOpened) {
    const struct {
        std::wstring url;
        bool accepted;
    } cases[] = {
        {L"https://example.org/a?b=c#d", true},
        {L"HTTPS://EXAMPLE.ORG", true},
        {L"mailto:someone@example.org", true},
        {L"http://example.org", false},
        {L"file:///C:/Windows/System32/calc.exe", false},
        {L"https://example.org/a b", false},
        {L"https://example.org/\"quoted\"", false},
        {L"https://example.org/<x>", false},
        {L"https://example.org/\tx", false},
        {L"https://example.org/\x7f", false},
        {L" https://example.org", false},
        {L"https:", false},
        {L"https://" + std::wstring(2040, L'a'), true},
        {L"https://" + std::wstring(2041, L'a'), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsOpenableUrl(c.url), c.accepted) << testing::PrintToString(c.url);
    }
    EXPECT_FALSE(OpenUrlAsUser(L"javascript:alert(1)"));
}

TEST(ShellOpenTest, MissingPathsAreNotOpened) {
    test::ScratchDir scratch;
    EXPECT_FALSE(OpenPath(L""));
    EXPECT_FALSE(OpenPath(scratch.Sub(L"missing.txt")));
    EXPECT_FALSE(RevealInExplorer(scratch.Sub(L"missing\\deeper.txt")));
}

}  // namespace
}  // namespace purvex::app
