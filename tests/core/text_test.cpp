#include "core/text.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace purvex::core {
namespace {

TEST(TextTest, EnvironmentIsExpandedOnlyWhereItCan) {
    ASSERT_TRUE(SetEnvironmentVariableW(L"PURVEX_TEXT_TEST", L"C:\\x"));
    const struct {
        const wchar_t* text;
        const wchar_t* expanded;
    } cases[] = {
        {L"%PURVEX_TEXT_TEST%\\y", L"C:\\x\\y"},
        {L"no variables", L"no variables"},
        {L"%PURVEX_NOT_SET_ANYWHERE%\\y", L"%PURVEX_NOT_SET_ANYWHERE%\\y"},
        {L"100%", L"100%"},
        {L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExpandEnvironment(c.text), c.expanded)
            << testing::PrintToString(std::wstring(c.text));
    }
    SetEnvironmentVariableW(L"PURVEX_TEXT_TEST", nullptr);
}

}  // namespace
}  // namespace purvex::core
