#include "ui/progress_ring.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "ui/click_rules.h"
#include "ui/render_context.h"
#include "ui/text_measure.h"
#include "ui/theme.h"
#include "ui/widget_host.h"

namespace purvex::ui {

ProgressRing::ProgressRing(float d, float t)
    : diameter(d), thickness(t > 0 ? t : std::max(3.0f, d / 12)) {}

void ProgressRing::SetValue(float v) {
    value = std::clamp(v, 0.0f, 1.0f);
    indeterminate = false;
    Invalidate();
}

void ProgressRing::SetPrimaryText(TextPair v) {
    primaryText = std::move(v);
    Invalidate();
}

void ProgressRing::SetSecondaryText(TextPair v) {
    secondaryText = std::move(v);
    Invalidate();
}

std::uint8_t ProgressRing::PrimarySize() const {
    if (customTextSizes) {
        return primarySize;
    }
    const float m = std::min(bounds.width, bounds.height) > 0
                        ? std::min(bounds.width, bounds.height)
                        : diameter;
    return m >= 120 ? kTitle : (m >= 64 ? kSubtitle : kCaption);
}

std::uint8_t ProgressRing::SecondarySize() const {
    if (customTextSizes) {
        return secondarySize;
    }
    const float m = std::min(bounds.width, bounds.height) > 0
                        ? std::min(bounds.width, bounds.height)
                        : diameter;
    return m >= 120 ? kBody : kCaption;
}

Size ProgressRing::Measure(float) {
    return {diameter, diameter};
}

bool ProgressRing::Inside(Point p) const {
    const float r = std::min(bounds.width, bounds.height) / 2;
    const float dx = p.x - (bounds.x + bounds.width / 2);
    const float dy = p.y - (bounds.y + bounds.height / 2);
    return dx * dx + dy * dy <= r * r;
}

Widget* ProgressRing::HitTest(Point point) {
    return visible && Inside(point) ? this : nullptr;
}

bool ProgressRing::IsFocusable(int) const {
    return Clickable() && IsEffectivelyEnabled();
}

HCURSOR ProgressRing::Cursor() const {
    return Clickable() ? LoadCursorW(nullptr, IDC_HAND) : nullptr;
}

void ProgressRing::Paint(RenderContext& context) {
    const bool active = IsEffectivelyEnabled();
    const Point c{bounds.x + bounds.width / 2, bounds.y + bounds.height / 2};
    const float m = std::min(bounds.width, bounds.height);
    const float R = m / 2;
    const float h = Clickable() ? hover.current : 0;
    Color primaryColor = RoleColor(active ? 14 : 17);
    Color secondaryColor = RoleColor(active ? 15 : 17);
    if (filled) {
        Color color = Mix(RoleColor(38), RoleColor(39), h);
        if (!active) {
            color = RoleColor(10);
        } else if (pressed && hovered) {
            color = RoleColor(40);
        }
        context.FillEllipse(c, R, R, WithAlpha(color, 0.18f + 0.08f * h));
        const float disc = R - 1.5f * thickness;
        context.FillEllipse(c, disc, disc, color);
        primaryColor = ReadableOn(RoleColor(38), Rgb(0x1A1A1A));
        secondaryColor = WithAlpha(primaryColor, 0.85f);
    } else {
        const float r = R - thickness / 2;
        if (Clickable() && h > 0) {
            context.FillEllipse(c, r, r, WithAlpha(RoleColor(8), h));
        }
        context.StrokeEllipse(c, r, r, RoleColor(13), thickness);
        const Color arc = RoleColor(active ? 19 : 17);
        if (indeterminate) {
            if (!spinning) {
                spinning = true;
                now = spinStart = NowMs();
                if (WidgetHost* widgetHost = Host()) {
                    widgetHost->StartAnimation(this);
                }
            }
            const double delta = now - spinStart;
            const double twoPi = 2 * std::numbers::pi;
            const double sweep =
                (0.5 - 0.5 * std::cos(twoPi * std::fmod(delta, 2600.0) / 2600.0)) * 200 + 40;
            const double start = std::fmod(delta, 1300.0) / 1300.0 * 360;
            context.DrawArc(c, r, static_cast<float>(start), static_cast<float>(sweep), arc,
                            thickness);
        } else if (value > 0) {
            context.DrawArc(c, r, 0, value * 360, arc, thickness);
        }
    }
    const std::wstring primary = ShownText(primaryText);
    const std::wstring secondary = ShownText(secondaryText);
    const TextStyle primaryStyle{PrimarySize(), 1, 1, false, true};
    const TextStyle secondaryStyle{SecondarySize(), 1, 1, false, true};
    const float blockWidth = 0.72f * m;
    const float a = primary.empty() ? 0 : MeasureText(primary, primaryStyle, blockWidth).height;
    const float b =
        secondary.empty() ? 0 : MeasureText(secondary, secondaryStyle, blockWidth).height;
    const float left = c.x - blockWidth / 2;
    const float top = c.y - (a + b) / 2;
    if (!primary.empty()) {
        context.DrawText(primary, {left, top, blockWidth, a}, primaryStyle, primaryColor);
    }
    if (!secondary.empty()) {
        context.DrawText(secondary, {left, top + a, blockWidth, b}, secondaryStyle, secondaryColor);
    }
    if (Clickable()) {
        context.DrawFocusRing(*this, {c.x - R, c.y - R, m, m}, R);
    }
}

bool ProgressRing::OnMouseDown(const MouseEvent& event) {
    return Clickable() && TakesClickPress(*this, event);
}

bool ProgressRing::OnMouseUp(const MouseEvent& event) {
    return Clickable() && ClickOnRelease(*this, event, Inside(event.position), onClick);
}

bool ProgressRing::OnKeyDown(const KeyEvent& event) {
    return Clickable() && ClickOnKey(*this, event, onClick);
}

void ProgressRing::OnMouseEnter() {
    if (Clickable()) {
        hover.AnimateTo(*this, 1);
    }
}

void ProgressRing::OnMouseLeave() {
    if (Clickable()) {
        hover.AnimateTo(*this, 0);
    }
}

bool ProgressRing::OnAnimationTick(double nowMs) {
    now = nowMs;
    const bool hovering = hover.Tick(nowMs);
    const bool spin = indeterminate && !filled && IsVisibleInTree();
    if (!spin) {
        spinning = false;
    }
    Invalidate();
    return hovering || spin;
}

}  // namespace purvex::ui
