#pragma once

#include <string_view>

namespace purvex::app {

// The language of this run: the command line's choice, else the saved one, else the first of
// the user's Windows display languages that the program speaks.
void SelectStartupLanguage(std::wstring_view fromCommandLine, std::wstring_view fromSettings);

}  // namespace purvex::app
