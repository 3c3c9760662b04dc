#include "ui/toggle.h"

#include <algorithm>

#include "ui/render_context.h"
#include "ui/text_measure.h"
#include "ui/theme.h"

namespace purvex::ui {
namespace {
constexpr TextStyle kTextStyle{kBody, 0, 1, false, true};
}  // namespace

Toggle::Toggle(TextPair text, bool initial)
    : on(initial), knob(160, initial ? 1.0f : 0.0f), label_(std::move(text)) {}

Size Toggle::Measure(float) {
    const std::wstring text = ShownText(label_);
    if (text.empty()) {
        return {40, 20};
    }
    return {MeasureText(text, kTextStyle, kUnbounded).width + 52, 32};
}

void Toggle::Paint(RenderContext& context) {
    const bool active = IsEffectivelyEnabled();
    const Rect track{bounds.x, bounds.y + (bounds.height - 20) / 2, 40, 20};
    const float k = knob.current;
    const Color offColor = active ? Mix(RoleColor(7), RoleColor(8), hover.current) : RoleColor(10);
    const Color onColor = active ? Mix(RoleColor(38), RoleColor(39), hover.current) : RoleColor(17);
    context.FillRect(track, Mix(offColor, onColor, k), 10);
    if (k < 1) {
        context.StrokeRect(track, WithAlpha(RoleColor(active ? 12 : 17), 1 - k), 1, 10);
    }
    float radius = ShowsPressed() ? 7.0f : (hover.current > 0.5f ? 6.5f : 6.0f);
    radius -= 1 - k;
    const Color knobColor =
        active ? Mix(RoleColor(15), RoleColor(18), k) : Mix(RoleColor(17), RoleColor(10), k);
    context.FillEllipse({track.x + 10 + 20 * k, track.y + 10}, radius, radius, knobColor);
    const std::wstring text = ShownText(label_);
    if (!text.empty()) {
        context.DrawText(text,
                         {track.x + 52, bounds.y, std::max(0.0f, bounds.width - 52), bounds.height},
                         kTextStyle, RoleColor(active ? 14 : 17));
    }
    context.DrawFocusRing(*this, track, 10);
}

void Toggle::OnClick() {
    on = !on;
    knob.AnimateTo(*this, on ? 1.0f : 0.0f);
    if (onChange) {
        onChange(on);
    }
}

bool Toggle::OnAnimationTick(double nowMs) {
    const bool a = hover.Tick(nowMs);
    const bool b = knob.Tick(nowMs);
    Invalidate();
    return a || b;
}

}  // namespace purvex::ui
