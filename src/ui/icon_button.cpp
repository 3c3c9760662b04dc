#include "ui/icon_button.h"

#include <algorithm>

#include "ui/render_context.h"
#include "ui/theme.h"

namespace purvex::ui {

IconButton::IconButton(IconId i, TextPair tooltipText, float s) : icon(i), size(s) {
    tooltip = std::move(tooltipText);
}

Size IconButton::Measure(float) {
    return {size, size};
}

void IconButton::Paint(RenderContext& context) {
    const bool active = IsEffectivelyEnabled();
    Color fill = WithAlpha(RoleColor(8), hover.current);
    if (!active) {
        fill = {0, 0, 0, 0};
    } else if (ShowsPressed()) {
        fill = RoleColor(9);
    } else if (selected) {
        fill = RoleColor(22);
    }
    context.FillRect(bounds, fill, 8);
    const float side = std::min(16.0f, std::min(bounds.width, bounds.height) - 8);
    const int role = !active ? 17 : (selected ? 19 : iconRole);
    context.DrawIcon(
        icon,
        {bounds.x + (bounds.width - side) / 2, bounds.y + (bounds.height - side) / 2, side, side},
        RoleColor(role));
    context.DrawFocusRing(*this, bounds, 8);
}

void IconButton::OnClick() {
    if (IsEffectivelyEnabled() && onClick) {
        onClick();
    }
}

}  // namespace purvex::ui
