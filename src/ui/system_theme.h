#pragma once

#include "ui/palette.h"

namespace purvex::ui {

// What Windows says about the user's colours; each read falls back when the value is missing.
bool ReadSystemPrefersDark();           // AppsUseLightTheme == 0; light when missing
bool ReadTransparencyEnabled();         // EnableTransparency; on when missing
AccentShades ReadSystemAccentShades();  // AccentPalette, AccentColor, DWM colour, default
// True when the system font collection holds the family.
bool SystemHasFontFamily(const wchar_t* family);

}  // namespace purvex::ui
