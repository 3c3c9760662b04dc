#pragma once

#include <d2d1.h>

#include <string_view>

#include "ui/color.h"
#include "ui/geometry.h"
#include "ui/icons.h"
#include "ui/text_style.h"

namespace purvex::ui {

class Widget;

// The drawing operations widgets use. All rectangles are in DIPs.
class RenderContext {
public:
    virtual ~RenderContext() = default;

    virtual ID2D1RenderTarget* NativeTarget() = 0;
    [[nodiscard]] virtual float Dpi() const = 0;
    // Edges snap to device pixels; nothing for an empty rectangle or a transparent colour.
    virtual void FillRect(const Rect& rect, Color color, float radius = 0) = 0;
    // Snapped like FillRect, then inset by half the thickness so the line stays inside.
    virtual void StrokeRect(const Rect& rect, Color color, float thickness, float radius = 0) = 0;
    virtual void FillEllipse(Point centre, float rx, float ry, Color color) = 0;
    virtual void StrokeEllipse(Point centre, float rx, float ry, Color color, float thickness) = 0;
    virtual void DrawLine(Point from, Point to, Color color, float thickness) = 0;
    // Degrees clockwise from 12 o'clock; a negative sweep runs counter-clockwise.
    virtual void DrawArc(Point centre, float radius, float startDeg, float sweepDeg, Color color,
                         float thickness) = 0;
    virtual void DrawText(std::wstring_view text, const Rect& rect, const TextStyle& style,
                          Color color) = 0;
    virtual void DrawIcon(IconId icon, const Rect& rect, Color color) = 0;
    virtual void PushClip(const Rect& rect) = 0;
    virtual void PopClip() = 0;
    virtual void PushOpacity(float opacity) = 0;
    virtual void PopOpacity() = 0;

    // A soft shadow below a surface: six translucent layers, darkest at the rectangle.
    void DrawShadow(const Rect& rect, float radius, float spread);
    // The keyboard-focus ring, drawn only while the widget has focus and the window shows it.
    void DrawFocusRing(const Widget& widget, const Rect& rect, float radius);
};

}  // namespace purvex::ui
