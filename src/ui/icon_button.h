#pragma once

#include <cstdint>
#include <functional>

#include "ui/button_base.h"
#include "ui/icons.h"

namespace purvex::ui {

// A square button that shows only an icon; its tooltip names it.
class IconButton : public ButtonBase {
public:
    IconButton(IconId icon, TextPair tooltipText, float size = 32);

    Size Measure(float availableWidth) override;
    void Paint(RenderContext& context) override;
    void OnClick() override;

    std::function<void()> onClick;
    IconId icon;
    float size;
    std::uint8_t iconRole = 14;
    bool selected = false;
};

}  // namespace purvex::ui
