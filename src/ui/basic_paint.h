#pragma once

#include <d2d1.h>

#include <cstdint>
#include <string_view>

namespace purvex::ui {

// 0xRRGGBB as an opaque Direct2D colour.
D2D1_COLOR_F ColorFromRgb(std::uint32_t rgb);

void FillRect(ID2D1RenderTarget& target, const D2D1_RECT_F& rect, std::uint32_t rgb);

// One line of text in the UI font, clipped to the rectangle.
void DrawTextLine(ID2D1RenderTarget& target, std::wstring_view text, const D2D1_RECT_F& rect,
                  float sizeDip, std::uint32_t rgb, bool bold = false);

}  // namespace purvex::ui
