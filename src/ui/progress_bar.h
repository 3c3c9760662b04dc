#pragma once

#include <cstdint>

#include "ui/widget.h"

namespace purvex::ui {

enum class ProgressTone : std::uint8_t { Normal = 0, Warning = 1, Error = 2 };

// A thin bar that fills with the value, or runs a sliding segment while indeterminate.
class ProgressBar : public Widget {
public:
    void SetValue(float value);

    Size Measure(float availableWidth) override;
    void Paint(RenderContext& context) override;
    bool OnAnimationTick(double nowMs) override;

    float value = 0;
    bool indeterminate = false;
    bool animating = false;
    ProgressTone tone = ProgressTone::Normal;
    double animationStart = 0;
    double now = 0;
};

// The indeterminate segment's eased position 0..1 at a time within its 1600 ms cycle.
float IndeterminateEase(double elapsedMs);

}  // namespace purvex::ui
