#include "ui/progress_bar.h"

#include <algorithm>
#include <cmath>

#include "ui/animated_float.h"
#include "ui/render_context.h"
#include "ui/theme.h"
#include "ui/widget_host.h"

namespace purvex::ui {

float IndeterminateEase(double elapsedMs) {
    const double t = std::fmod(std::max(0.0, elapsedMs), 1600.0) / 1600.0;
    const double e = t < 0.5 ? 4 * t * t * t : 1 - std::pow(2 - 2 * t, 3) / 2;
    return static_cast<float>(e);
}

void ProgressBar::SetValue(float v) {
    v = std::clamp(v, 0.0f, 1.0f);
    if (v != value || indeterminate) {
        value = v;
        indeterminate = false;
        Invalidate();
    }
}

Size ProgressBar::Measure(float availableWidth) {
    return {availableWidth < kUnbounded ? availableWidth : 200, 4};
}

void ProgressBar::Paint(RenderContext& context) {
    const float b = std::min(bounds.height, 4.0f);
    const float top = bounds.y + (bounds.height - b) / 2;
    constexpr int kToneRoles[] = {19, 26, 23};
    const int role =
        IsEffectivelyEnabled() ? kToneRoles[std::min<int>(static_cast<int>(tone), 2)] : 17;
    const Color color = RoleColor(role);
    context.FillRect({bounds.x, top + (b - 1) / 2, bounds.width, 1}, RoleColor(12));
    if (!indeterminate) {
        if (value > 0) {
            context.FillRect({bounds.x, top, std::max(value * bounds.width, b), b}, color, b / 2);
        }
        return;
    }
    if (!animating) {
        // Start part-way into the cycle so the segment is already visible on the first frame.
        now = NowMs();
        animationStart = now - 640;
        animating = true;
        if (WidgetHost* h = Host()) {
            h->StartAnimation(this);
        }
    }
    const float e = IndeterminateEase(now - animationStart);
    const float s = 0.35f * bounds.width;
    context.PushClip({bounds.x, top, bounds.width, b});
    context.FillRect({bounds.x - s + (s + bounds.width) * e, top, s, b}, color, b / 2);
    context.PopClip();
}

bool ProgressBar::OnAnimationTick(double nowMs) {
    now = nowMs;
    if (indeterminate && IsVisibleInTree()) {
        Invalidate();
        return true;
    }
    animating = false;
    return false;
}

}  // namespace purvex::ui
