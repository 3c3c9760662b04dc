#pragma once

#include <d2d1.h>

#include <functional>
#include <string>

namespace purvex::ui {

using DrawFunction = std::function<void(ID2D1RenderTarget& target, D2D1_SIZE_F sizeDip)>;

// Renders one frame of widthDip × heightDip at scale into a 32-bit premultiplied BGRA bitmap
// and writes it as PNG. False, with no file left behind, when any step fails.
bool RenderToPng(const std::wstring& path, float widthDip, float heightDip, float scale,
                 const DrawFunction& draw);

}  // namespace purvex::ui
