#pragma once

#include <string_view>

#include "app/language_table.h"

namespace purvex::app {

// One warning per repeated key and per malformed line of a language's table, so that a
// broken translation shows up in the log instead of only as a missing text.
void LogLanguageTableProblems(std::wstring_view code, const LanguageTableParse& parsed);

}  // namespace purvex::app
