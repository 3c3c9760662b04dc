// The nine tables compiled into the program: each must hold exactly the English keys, with
// the same placeholders, and be a real translation rather than a copy.
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "app/language_resource.h"
#include "app/language_table.h"
#include "app/languages.h"
#include "core/text.h"

namespace purvex::app {
namespace {

LanguageTableParse Load(const LanguageInfo& language) {
    const std::optional<std::string_view> bytes = LanguageResourceBytes(language.resourceId);
    if (!bytes) {
        return {};
    }
    return ParseLanguageTable(*bytes);
}

// Indices of the "{n}" placeholders, with "{{" and "}}" skipped as FormatText does.
std::multiset<int> Placeholders(const std::wstring& text) {
    std::multiset<int> found;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((text[i] == L'{' || text[i] == L'}') && i + 1 < text.size() && text[i + 1] == text[i]) {
            ++i;
            continue;
        }
        if (text[i] != L'{') {
            continue;
        }
        std::size_t j = i + 1;
        int index = 0;
        while (j < text.size() && iswdigit(text[j]) && index < 1000) {
            index = index * 10 + (text[j] - L'0');
            ++j;
        }
        if (j > i + 1 && j < text.size() && text[j] == L'}') {
            found.insert(index);
            i = j;
        }
    }
    return found;
}

TEST(LanguageTablesTest, EveryTableHasExactlyTheEnglishKeysAndPlaceholders) {
    const LanguageTableParse english = Load(SupportedLanguages().front());
    ASSERT_TRUE(english.table);
    ASSERT_GT(english.table->size(), 50u);

    for (const LanguageInfo& language : SupportedLanguages()) {
        const std::string code = core::WideToUtf8(language.code);
        SCOPED_TRACE(code);
        const LanguageTableParse parsed = Load(language);
        ASSERT_TRUE(parsed.table) << "resource " << language.resourceId << " is missing";
        EXPECT_TRUE(parsed.malformedLines.empty());
        EXPECT_TRUE(parsed.duplicateKeys.empty());

        for (const auto& [key, text] : *english.table) {
            const auto it = parsed.table->find(key);
            if (it == parsed.table->end()) {
                ADD_FAILURE() << "lacks " << key;
                continue;
            }
            EXPECT_FALSE(it->second.empty()) << key;
            EXPECT_EQ(Placeholders(it->second), Placeholders(text)) << key;
        }
        for (const auto& entry : *parsed.table) {
            EXPECT_TRUE(english.table->contains(entry.first)) << "English lacks " << entry.first;
        }
    }
}

// Names like "OK", "Purvex" or "GB" rightly stay as they are; a table that mostly repeats
// English was copied, not translated.
TEST(LanguageTablesTest, TranslationsDifferFromEnglish) {
    const LanguageTableParse english = Load(SupportedLanguages().front());
    ASSERT_TRUE(english.table);
    for (const LanguageInfo& language : SupportedLanguages().subspan(1)) {
        const LanguageTableParse parsed = Load(language);
        ASSERT_TRUE(parsed.table);
        std::size_t same = 0;
        for (const auto& [key, text] : *english.table) {
            const auto it = parsed.table->find(key);
            same += it != parsed.table->end() && it->second == text ? 1 : 0;
        }
        EXPECT_LT(same * 6, english.table->size()) << core::WideToUtf8(language.code);
    }
}

}  // namespace
}  // namespace purvex::app
