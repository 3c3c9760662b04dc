#include "ui/d2d_render_context.h"

#include <algorithm>
#include <cmath>

#include "ui/d2d_geometry.h"
#include "ui/text_format_cache.h"

namespace purvex::ui {
namespace {

D2D1_COLOR_F ToD2D(Color c) {
    return D2D1::ColorF(c.r, c.g, c.b, c.a);
}

}  // namespace

D2DRenderContext::D2DRenderContext(ID2D1RenderTarget* target) : target_(target) {
    float dpiY = 96;
    target_->GetDpi(&dpi_, &dpiY);
    if (!(dpi_ > 0)) {
        dpi_ = 96;
    }
}

D2DRenderContext::~D2DRenderContext() {
    while (!pushed_.empty()) {
        if (pushed_.back() == Pushed::Clip) {
            target_->PopAxisAlignedClip();
        } else if (pushed_.back() == Pushed::Layer) {
            target_->PopLayer();
        }
        pushed_.pop_back();
    }
}

ID2D1SolidColorBrush* D2DRenderContext::Brush(Color color) {
    if (!brush_) {
        if (FAILED(target_->CreateSolidColorBrush(ToD2D(color), brush_.Put()))) {
            return nullptr;
        }
    } else {
        brush_->SetColor(ToD2D(color));
    }
    return brush_.Get();
}

float D2DRenderContext::Snap(float v) const {
    const float scale = dpi_ / 96.0f;
    return std::round(v * scale) / scale;
}

void D2DRenderContext::FillRect(const Rect& rect, Color color, float radius) {
    if (rect.width <= 0 || rect.height <= 0 || color.a <= 0) {
        return;
    }
    ID2D1SolidColorBrush* brush = Brush(color);
    if (brush == nullptr) {
        return;
    }
    const D2D1_RECT_F r =
        D2D1::RectF(Snap(rect.x), Snap(rect.y), Snap(rect.Right()), Snap(rect.Bottom()));
    if (radius > 0) {
        target_->FillRoundedRectangle(D2D1::RoundedRect(r, radius, radius), brush);
    } else {
        target_->FillRectangle(r, brush);
    }
}

void D2DRenderContext::StrokeRect(const Rect& rect, Color color, float thickness, float radius) {
    if (rect.width <= 0 || rect.height <= 0 || color.a <= 0 || thickness <= 0) {
        return;
    }
    ID2D1SolidColorBrush* brush = Brush(color);
    if (brush == nullptr) {
        return;
    }
    const float h = thickness / 2;
    const D2D1_RECT_F r = D2D1::RectF(Snap(rect.x) + h, Snap(rect.y) + h, Snap(rect.Right()) - h,
                                      Snap(rect.Bottom()) - h);
    const float rr = std::max(0.0f, radius - h);
    if (rr > 0) {
        target_->DrawRoundedRectangle(D2D1::RoundedRect(r, rr, rr), brush, thickness);
    } else {
        target_->DrawRectangle(r, brush, thickness);
    }
}

void D2DRenderContext::FillEllipse(Point c, float rx, float ry, Color color) {
    if (rx <= 0 || ry <= 0 || color.a <= 0) {
        return;
    }
    if (ID2D1SolidColorBrush* brush = Brush(color)) {
        target_->FillEllipse(D2D1::Ellipse(D2D1::Point2F(c.x, c.y), rx, ry), brush);
    }
}

void D2DRenderContext::StrokeEllipse(Point c, float rx, float ry, Color color, float thickness) {
    if (rx <= 0 || ry <= 0 || color.a <= 0 || thickness <= 0) {
        return;
    }
    if (ID2D1SolidColorBrush* brush = Brush(color)) {
        target_->DrawEllipse(D2D1::Ellipse(D2D1::Point2F(c.x, c.y), rx, ry), brush, thickness);
    }
}

void D2DRenderContext::DrawLine(Point from, Point to, Color color, float thickness) {
    if (color.a <= 0 || thickness <= 0) {
        return;
    }
    ID2D1SolidColorBrush* brush = Brush(color);
    if (brush == nullptr) {
        return;
    }
    const float scale = dpi_ / 96.0f;
    // A line of odd device-pixel width is centred on a pixel, so it sits half a pixel off the
    // grid line; an even one sits on it.
    const bool odd = static_cast<long>(std::lround(thickness * scale)) % 2 != 0;
    const float half = odd ? 0.5f / scale : 0.0f;
    if (from.y == to.y) {
        from.y = to.y = Snap(from.y) + half;
    } else if (from.x == to.x) {
        from.x = to.x = Snap(from.x) + half;
    }
    target_->DrawLine(D2D1::Point2F(from.x, from.y), D2D1::Point2F(to.x, to.y), brush, thickness);
}

void D2DRenderContext::DrawArc(Point c, float radius, float startDeg, float sweepDeg, Color color,
                               float thickness) {
    if (radius <= 0 || color.a <= 0 || thickness <= 0 || sweepDeg == 0) {
        return;
    }
    if (std::abs(sweepDeg) >= 359.9f) {
        StrokeEllipse(c, radius, radius, color, thickness);
        return;
    }
    ID2D1SolidColorBrush* brush = Brush(color);
    const PathFigure figure = CircularArc(c, radius, startDeg, sweepDeg);
    const auto geometry = BuildPathGeometry({&figure, 1});
    if (brush != nullptr && geometry) {
        target_->DrawGeometry(geometry.Get(), brush, thickness, RoundStrokeStyle());
    }
}

void D2DRenderContext::DrawText(std::wstring_view text, const Rect& rect, const TextStyle& style,
                                Color color) {
    if (text.empty() || rect.width <= 0 || rect.height <= 0 || color.a <= 0) {
        return;
    }
    IDWriteTextFormat* format = TextFormatFor(style);
    ID2D1SolidColorBrush* brush = Brush(color);
    if (format == nullptr || brush == nullptr) {
        return;
    }
    target_->DrawText(text.data(), static_cast<UINT32>(text.size()), format,
                      D2D1::RectF(rect.x, rect.y, rect.Right(), rect.Bottom()), brush,
                      D2D1_DRAW_TEXT_OPTIONS_CLIP);
}

void D2DRenderContext::DrawIcon(IconId icon, const Rect& rect, Color color) {
    if (rect.width <= 0 || rect.height <= 0 || color.a <= 0) {
        return;
    }
    const IconGeometry& geometry = GetIconGeometry(icon);
    ID2D1SolidColorBrush* brush = Brush(color);
    if (geometry.parts.empty() || brush == nullptr) {
        return;
    }
    const float side = std::min(rect.width, rect.height);
    const float k = side / 24.0f;
    D2D1_MATRIX_3X2_F previous{};
    target_->GetTransform(&previous);
    const D2D1_MATRIX_3X2_F place =
        D2D1::Matrix3x2F::Scale(k, k) *
        D2D1::Matrix3x2F::Translation(rect.x + (rect.width - side) / 2,
                                      rect.y + (rect.height - side) / 2);
    target_->SetTransform(place * *D2D1::Matrix3x2F::ReinterpretBaseType(&previous));
    for (const auto& [path, filled] : geometry.parts) {
        if (filled) {
            target_->FillGeometry(path.Get(), brush);
        } else {
            target_->DrawGeometry(path.Get(), brush, geometry.strokeWidth, RoundStrokeStyle());
        }
    }
    target_->SetTransform(previous);
}

void D2DRenderContext::PushClip(const Rect& rect) {
    target_->PushAxisAlignedClip(D2D1::RectF(rect.x, rect.y, rect.Right(), rect.Bottom()),
                                 D2D1_ANTIALIAS_MODE_ALIASED);
    pushed_.push_back(Pushed::Clip);
}

void D2DRenderContext::PopClip() {
    if (!pushed_.empty() && pushed_.back() == Pushed::Clip) {
        target_->PopAxisAlignedClip();
        pushed_.pop_back();
    }
}

void D2DRenderContext::PushOpacity(float opacity) {
    core::ComPtr<ID2D1Layer> layer;
    if (FAILED(target_->CreateLayer(nullptr, layer.Put()))) {
        // Keep pushes and pops paired even when the layer could not be made.
        pushed_.push_back(Pushed::Nothing);
        return;
    }
    target_->PushLayer(
        D2D1::LayerParameters(D2D1::InfiniteRect(), nullptr, D2D1_ANTIALIAS_MODE_PER_PRIMITIVE,
                              D2D1::IdentityMatrix(), opacity),
        layer.Get());
    pushed_.push_back(Pushed::Layer);
}

void D2DRenderContext::PopOpacity() {
    if (!pushed_.empty() && pushed_.back() != Pushed::Clip) {
        if (pushed_.back() == Pushed::Layer) {
            target_->PopLayer();
        }
        pushed_.pop_back();
    }
}

}  // namespace purvex::ui
