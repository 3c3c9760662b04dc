#pragma once

#include <cstdint>

namespace purvex::ui {

// Size classes: caption 12, body 14, body-strong 14 semibold, subtitle 16, title 20, display 28.
enum SizeClass : std::uint8_t {
    kCaption = 0,
    kBody = 1,
    kBodyStrong = 2,
    kSubtitle = 3,
    kTitle = 4,
    kDisplay = 5,
};

struct TextStyle {
    std::uint8_t size = kBody;
    std::uint8_t hAlign = 0;  // 0 leading, 1 centre, 2 trailing
    std::uint8_t vAlign = 0;  // 0 top, 1 centre, 2 bottom
    bool wrap = false;        // at word boundaries, else one line
    bool ellipsis = false;    // trim with an ellipsis at character granularity

    bool operator==(const TextStyle&) const = default;
};

float FontSizeOf(std::uint8_t sizeClass);
int FontWeightOf(std::uint8_t sizeClass);

}  // namespace purvex::ui
