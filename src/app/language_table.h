#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace purvex::app {

// Narrow key to display text. Ordered with a transparent comparator so that lookups by
// string_view need no temporary string.
using TextTable = std::map<std::string, std::wstring, std::less<>>;

// One parsed language table and what was wrong with its source; the caller decides how to
// report the problems.
struct LanguageTableParse {
    std::shared_ptr<const TextTable> table;
    std::vector<std::uint32_t> malformedLines;  // counted from 1 over every line
    std::vector<std::string> duplicateKeys;     // once per repeated occurrence
};

// Parses UTF-8 "key=value" lines. A byte-order mark is skipped, '#' starts a comment, values
// take the escapes \n, \t and \\, and a repeated key keeps its last value.
LanguageTableParse ParseLanguageTable(std::string_view bytes);

// Letters, digits, '-', '.' and '_', at least one of them.
bool IsValidTextKey(std::string_view key);

}  // namespace purvex::app
