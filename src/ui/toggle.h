#pragma once

#include <functional>

#include "ui/button_base.h"

namespace purvex::ui {

// An on/off switch whose knob slides across the track.
class Toggle : public ButtonBase {
public:
    explicit Toggle(TextPair text, bool initial = false);

    Size Measure(float availableWidth) override;
    void Paint(RenderContext& context) override;
    void OnClick() override;
    bool OnAnimationTick(double nowMs) override;

    std::function<void(bool)> onChange;
    bool on;
    AnimatedFloat knob;

private:
    TextPair label_;
};

}  // namespace purvex::ui
