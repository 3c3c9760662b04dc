#pragma once

#include <cstdint>
#include <functional>

#include "ui/button_base.h"

namespace purvex::ui {

enum class CheckState : std::uint8_t { Unchecked = 0, Checked = 1, Indeterminate = 2 };

// A box with an optional wrapping label; a click checks it, or unchecks a checked one.
class CheckBox : public ButtonBase {
public:
    explicit CheckBox(TextPair text, CheckState initial = CheckState::Unchecked);

    Size Measure(float availableWidth) override;
    void Paint(RenderContext& context) override;
    void OnClick() override;

    std::function<void(CheckState)> onChange;
    CheckState state;

private:
    TextPair label_;
};

}  // namespace purvex::ui
