#include "app/language_table.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/language_table_report.h"
#include "app_log.h"

namespace purvex::app {
namespace {

std::wstring TextOf(const LanguageTableParse& parsed, const std::string& key) {
    const auto it = parsed.table->find(key);
    return it == parsed.table->end() ? L"<none>" : it->second;
}

TEST(LanguageTableTest, ValuesAreTrimmedSplitAtFirstEqualsAndUnescaped) {
    const struct {
        const char* line;
        const char* key;
        std::wstring text;
    } cases[] = {
        {"shell.x = a\\nb", "shell.x", L"a\nb"},
        {"a=b=c", "a", L"b=c"},
        {"\t k-1_x.Y \t=\t tab\\there \r", "k-1_x.Y", L"tab\there"},
        {"p=C:\\\\Temp\\x\\", "p", L"C:\\Temp\\x\\"},
        {"e=", "e", L""},
        {"u=Gr\xC3\xB6\xC3\x9F"
         "e \xE2\x80\xA6",
         "u", L"Gr\u00f6\u00dfe \u2026"},
    };
    for (const auto& c : cases) {
        const LanguageTableParse parsed = ParseLanguageTable(c.line);
        EXPECT_TRUE(parsed.malformedLines.empty()) << c.line;
        EXPECT_EQ(TextOf(parsed, c.key), c.text) << c.line;
    }
}

TEST(LanguageTableTest, MalformedLinesAreSkippedAndCountedOverAllLines) {
    const std::string source =
        "\xEF\xBB\xBF# generated\r\n"  // 1
        "\r\n"                         // 2
        "good=1\r\n"                   // 3
        "no equals sign\n"             // 4
        "=starts with equals\n"        // 5
        "bad key=x\n"                  // 6
        "bad/key=x\n"                  // 7
        "   # indented comment\n"      // 8
        "last=2";                      // 9, no line end
    const LanguageTableParse parsed = ParseLanguageTable(source);
    EXPECT_EQ(parsed.malformedLines, (std::vector<std::uint32_t>{4, 5, 6, 7}));
    EXPECT_EQ(parsed.table->size(), 2u);
    EXPECT_EQ(TextOf(parsed, "good"), L"1");
    EXPECT_EQ(TextOf(parsed, "last"), L"2");
}

TEST(LanguageTableTest, RepeatedKeyKeepsTheLastValueAndIsReported) {
    const LanguageTableParse parsed = ParseLanguageTable("a=1\nb=2\na=3\na=4\n");
    EXPECT_EQ(TextOf(parsed, "a"), L"4");
    EXPECT_EQ(parsed.duplicateKeys, (std::vector<std::string>{"a", "a"}));
    EXPECT_TRUE(parsed.malformedLines.empty());
}

TEST(LanguageTableTest, InvalidUtf8BecomesReplacementCharacter) {
    const LanguageTableParse parsed = ParseLanguageTable(
        "k=a\xFF"
        "b");
    EXPECT_EQ(TextOf(parsed, "k"), L"a\uFFFDb");
}

TEST(LanguageTableTest, ProblemsAreLoggedWithTheLanguageAndLine) {
    test::AppLog log;
    LogLanguageTableProblems(L"de", ParseLanguageTable("a=1\nbad line\na=2\n"));
    EXPECT_EQ(log.Count("[WARN]"), 2);
    EXPECT_EQ(log.Count("Language de: duplicate key 'a', the last one wins"), 1);
    EXPECT_EQ(log.Count("Language de: malformed line 2 ignored"), 1);
}

}  // namespace
}  // namespace purvex::app
