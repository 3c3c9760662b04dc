#pragma once

#include "app/settings.h"

namespace purvex::ui {

// How the palette is chosen: follow Windows, or force one of the two. The saved setting and
// the theme share the one type.
using ThemeMode = app::ThemeMode;

}  // namespace purvex::ui
