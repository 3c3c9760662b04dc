#pragma once

#include <d2d1.h>

#include <vector>

#include "core/com_ptr.h"
#include "ui/render_context.h"

namespace purvex::ui {

// RenderContext over a Direct2D render target that is between BeginDraw and EndDraw. The
// target's DPI must already be set; drawing happens in DIPs.
class D2DRenderContext final : public RenderContext {
public:
    explicit D2DRenderContext(ID2D1RenderTarget* target);
    D2DRenderContext(const D2DRenderContext&) = delete;
    D2DRenderContext& operator=(const D2DRenderContext&) = delete;
    ~D2DRenderContext() override;

    ID2D1RenderTarget* NativeTarget() override { return target_; }
    [[nodiscard]] float Dpi() const override { return dpi_; }
    void FillRect(const Rect& rect, Color color, float radius) override;
    void StrokeRect(const Rect& rect, Color color, float thickness, float radius) override;
    void FillEllipse(Point centre, float rx, float ry, Color color) override;
    void StrokeEllipse(Point centre, float rx, float ry, Color color, float thickness) override;
    void DrawLine(Point from, Point to, Color color, float thickness) override;
    void DrawArc(Point centre, float radius, float startDeg, float sweepDeg, Color color,
                 float thickness) override;
    void DrawText(std::wstring_view text, const Rect& rect, const TextStyle& style,
                  Color color) override;
    void DrawIcon(IconId icon, const Rect& rect, Color color) override;
    void PushClip(const Rect& rect) override;
    void PopClip() override;
    void PushOpacity(float opacity) override;
    void PopOpacity() override;

private:
    enum class Pushed { Clip, Layer, Nothing };
    ID2D1SolidColorBrush* Brush(Color color);
    float Snap(float v) const;

    ID2D1RenderTarget* target_;
    float dpi_ = 96;
    core::ComPtr<ID2D1SolidColorBrush> brush_;
    std::vector<Pushed> pushed_;
};

}  // namespace purvex::ui
