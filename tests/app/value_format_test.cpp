#include "app/value_format.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/localization.h"

namespace purvex::app {
namespace {

SYSTEMTIME Day(WORD year, WORD month, WORD day) {
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = 12;
    return time;
}

TEST(ValueFormatTest, SizeKeepsThreeOrFourSignificantDigits) {
    const FormatState english = BuildFormatState(L"en-US", {});
    const struct {
        std::uint64_t bytes;
        const wchar_t* text;
    } cases[] = {
        {0, L"0 B"},
        {1023, L"1023 B"},
        {1024, L"1.00 KB"},
        {1536, L"1.50 KB"},
        {10234, L"9.99 KB"},
        {10235, L"10.0 KB"},
        {102400, L"100 KB"},
        {1024000, L"1000 KB"},
        {1048064, L"1.00 MB"},
        {1048576 + 52429, L"1.05 MB"},
        {10737418240ull, L"10.0 GB"},
        {1099511627776ull * 1536, L"1536 TB"},
        {~0ull, L"16777216 TB"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatSize(english, c.bytes), c.text) << c.bytes;
    }
}

TEST(ValueFormatTest, GroupingTextConvertsToTheNumberFormatRule) {
    const struct {
        const wchar_t* text;
        std::uint32_t grouping;
    } cases[] = {{L"3;0", 3}, {L"3", 30}, {L"3;2;0", 32}, {L"3;2", 320}, {L"0", 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(GroupingFromLocaleText(c.text), c.grouping) << c.text;
    }
}

// The numbers of a date in the order they appear; separators and zero padding of a locale's
// short date differ between Windows releases (and Wine), the order does not.
std::vector<int> Numbers(const std::wstring& text) {
    std::vector<int> numbers;
    int value = -1;
    for (const wchar_t c : text) {
        if (c >= L'0' && c <= L'9') {
            value = (value < 0 ? 0 : value * 10) + (c - L'0');
        } else if (value >= 0) {
            numbers.push_back(value);
            value = -1;
        }
    }
    if (value >= 0) {
        numbers.push_back(value);
    }
    return numbers;
}

// Sizes, counts and dates follow the UI language, whatever the Windows regional settings.
TEST(ValueFormatTest, EveryLanguageFormatsInItsOwnWay) {
    static const std::vector<int> kMonthFirst = {3, 14, 2026};
    static const std::vector<int> kDayFirst = {14, 3, 2026};
    static const std::vector<int> kYearFirst = {2026, 3, 14};
    const struct {
        const wchar_t* code;
        const wchar_t* smallSize;
        const wchar_t* size;
        const wchar_t* count;
        const std::vector<int>* dateOrder;
    } cases[] = {
        {L"en", L"512 B", L"1.50 KB", L"1,234,567", &kMonthFirst},
        {L"de", L"512 B", L"1,50 KB", L"1.234.567", &kDayFirst},
        {L"es", L"512 B", L"1,50 KB", L"1.234.567", &kDayFirst},
        {L"fr", L"512 o", L"1,50 Ko", nullptr, &kDayFirst},
        {L"ja", L"512 \u30d0\u30a4\u30c8", L"1.50 KB", L"1,234,567", &kYearFirst},
        {L"ko", L"512 \ubc14\uc774\ud2b8", L"1.50 KB", L"1,234,567", &kYearFirst},
        {L"pt-PT", L"512 B", L"1,50 KB", nullptr, &kDayFirst},
        {L"zh-TW", L"512 \u4f4d\u5143\u7d44", L"1.50 KB", L"1,234,567", &kYearFirst},
        {L"zh-CN", L"512 \u5b57\u8282", L"1.50 KB", L"1,234,567", &kYearFirst},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.code)));
        ASSERT_TRUE(SetLanguage(c.code));
        EXPECT_EQ(FormatSize(512), c.smallSize);
        EXPECT_EQ(FormatSize(1536), c.size);
        if (c.count != nullptr) {
            EXPECT_EQ(FormatCount(1234567), c.count);
        } else {
            // French and Portuguese group with a kind of space that differs between Windows
            // releases; what matters is that it is the locale's and not a comma.
            const std::wstring separator = CurrentFormatState()->thousandsSeparator;
            EXPECT_NE(separator, L",");
            EXPECT_EQ(FormatCount(1234567), L"1" + separator + L"234" + separator + L"567");
        }
        const std::wstring date = FormatDate(CurrentFormatState()->localeName, Day(2026, 3, 14));
        EXPECT_EQ(Numbers(date), *c.dateOrder) << testing::PrintToString(date);
    }
    SetLanguage(L"en");
}

TEST(ValueFormatTest, CountWithoutGroupingAndDateFallbacks) {
    ASSERT_TRUE(SetLanguage(L"en"));
    EXPECT_EQ(FormatCount(0), L"0");
    EXPECT_EQ(FormatCount(999), L"999");
    EXPECT_EQ(FormatCount(18446744073709551615ull), L"18,446,744,073,709,551,615");
    // Windows refuses a thirteenth month; the date is still shown, in ISO order.
    EXPECT_EQ(FormatDate(L"en-US", Day(2026, 13, 14)), L"2026-13-14");
}

TEST(ValueFormatTest, FileDateIsTheLocalShortDate) {
    ASSERT_TRUE(SetLanguage(L"de"));
    SYSTEMTIME noon = Day(2026, 3, 14);
    FILETIME utc = {};
    ASSERT_TRUE(SystemTimeToFileTime(&noon, &utc));
    SYSTEMTIME local = {};
    ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &noon, &local));
    EXPECT_EQ(FormatFileDate(utc), FormatDate(L"de-DE", local));
    EXPECT_EQ(FormatFileDate(FILETIME{0xFFFFFFFFu, 0xFFFFFFFFu}), L"");
    SetLanguage(L"en");
}

}  // namespace
}  // namespace purvex::app
