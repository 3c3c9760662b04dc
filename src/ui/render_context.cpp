#include "ui/render_context.h"

#include "ui/theme.h"
#include "ui/widget.h"
#include "ui/widget_host.h"

namespace purvex::ui {

void RenderContext::DrawShadow(const Rect& rect, float radius, float spread) {
    Color color = Theme::Get().Role(37);
    color.a *= 0.16f;
    for (int n = 6; n >= 1; --n) {
        const float g = static_cast<float>(n) * spread / 6.0f;
        FillRect({rect.x - g, rect.y - g + 0.35f * spread, rect.width + 2 * g, rect.height + 2 * g},
                 color, radius + g);
    }
}

void RenderContext::DrawFocusRing(const Widget& widget, const Rect& rect, float radius) {
    const WidgetHost* host = widget.Host();
    if (!widget.focused || host == nullptr || !host->ShowsFocusIndicator()) {
        return;
    }
    StrokeRect(rect.Inflated(3), Theme::Get().Role(33), 2, radius > 0 ? radius + 3 : 0);
}

}  // namespace purvex::ui
