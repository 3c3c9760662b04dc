#pragma once

#include <cstdint>
#include <string_view>

#include "ui/geometry.h"
#include "ui/text_style.h"

namespace purvex::ui {

// Width and height of the text in DIPs, rounded up, for the theme's font and the UI language.
// A maximum width of 1e30 or more is unbounded. Results are cached. UI thread only.
Size MeasureText(std::wstring_view text, const TextStyle& style, float maxWidth);

struct TextMeasureStats {
    std::uint64_t hits = 0;
    std::uint64_t misses = 0;
    std::size_t entries = 0;
};
// For the benchmark: how well the cache does.
TextMeasureStats GetTextMeasureStats();

}  // namespace purvex::ui
