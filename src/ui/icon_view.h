#pragma once

#include <cstdint>

#include "ui/icons.h"
#include "ui/render_context.h"
#include "ui/theme.h"
#include "ui/widget.h"

namespace purvex::ui {

// An icon centred in its bounds, in one colour role.
class IconView : public Widget {
public:
    IconView(IconId i, float s = 16, std::uint8_t r = 14) : icon(i), size(s), role(r) {}

    Size Measure(float) override { return {size, size}; }
    void Paint(RenderContext& context) override {
        context.DrawIcon(icon,
                         {bounds.x + (bounds.width - size) / 2,
                          bounds.y + (bounds.height - size) / 2, size, size},
                         RoleColor(role));
    }

    IconId icon;
    float size;
    std::uint8_t role;
};

}  // namespace purvex::ui
