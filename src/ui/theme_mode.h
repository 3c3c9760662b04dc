#pragma once

#include <cstdint>

namespace purvex::ui {

// How the palette is chosen: follow Windows, or force one of the two.
enum class ThemeMode : std::uint8_t { System = 0, Light = 1, Dark = 2 };

}  // namespace purvex::ui
