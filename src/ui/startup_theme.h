#pragma once

#include <string_view>

#include "ui/theme_mode.h"

namespace purvex::ui {

// Prepares the theme before the first window: the saved mode, the system's light/dark choice
// and accent, the font for the current language (and from now on for every language switch),
// and a forced "light" or "dark" from the command line that is not saved.
void ApplyStartupTheme(ThemeMode saved, std::wstring_view forced);

}  // namespace purvex::ui
