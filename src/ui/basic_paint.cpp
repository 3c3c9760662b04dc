#include "ui/basic_paint.h"

#include <dwrite.h>

#include "core/com_ptr.h"
#include "ui/graphics_factories.h"

namespace purvex::ui {

D2D1_COLOR_F ColorFromRgb(std::uint32_t rgb) {
    return D2D1::ColorF(static_cast<float>((rgb >> 16) & 0xFF) / 255.0f,
                        static_cast<float>((rgb >> 8) & 0xFF) / 255.0f,
                        static_cast<float>(rgb & 0xFF) / 255.0f, 1.0f);
}

void FillRect(ID2D1RenderTarget& target, const D2D1_RECT_F& rect, std::uint32_t rgb) {
    core::ComPtr<ID2D1SolidColorBrush> brush;
    if (SUCCEEDED(target.CreateSolidColorBrush(ColorFromRgb(rgb), brush.Put()))) {
        target.FillRectangle(rect, brush.Get());
    }
}

void DrawTextLine(ID2D1RenderTarget& target, std::wstring_view text, const D2D1_RECT_F& rect,
                  float sizeDip, std::uint32_t rgb, bool bold) {
    IDWriteFactory* dwrite = DWriteFactory();
    if (dwrite == nullptr || text.empty()) {
        return;
    }
    core::ComPtr<IDWriteTextFormat> format;
    if (FAILED(dwrite->CreateTextFormat(
            L"Segoe UI", nullptr, bold ? DWRITE_FONT_WEIGHT_SEMI_BOLD : DWRITE_FONT_WEIGHT_NORMAL,
            DWRITE_FONT_STYLE_NORMAL, DWRITE_FONT_STRETCH_NORMAL, sizeDip, L"en-us",
            format.Put()))) {
        return;
    }
    format->SetWordWrapping(DWRITE_WORD_WRAPPING_NO_WRAP);
    core::ComPtr<ID2D1SolidColorBrush> brush;
    if (FAILED(target.CreateSolidColorBrush(ColorFromRgb(rgb), brush.Put()))) {
        return;
    }
    target.DrawText(text.data(), static_cast<UINT32>(text.size()), format.Get(), rect, brush.Get(),
                    D2D1_DRAW_TEXT_OPTIONS_CLIP);
}

}  // namespace purvex::ui
