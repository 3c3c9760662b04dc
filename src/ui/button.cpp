#include "ui/button.h"

#include <algorithm>

#include "ui/render_context.h"
#include "ui/text_measure.h"
#include "ui/theme.h"

namespace purvex::ui {
namespace {

struct Metrics {
    float padding, height, icon, gap;
    TextStyle style;
};

Metrics MetricsFor(bool large) {
    if (large) {
        return {24, 44, 20, 10, {kSubtitle, 0, 1, false, true}};
    }
    return {12, 32, 16, 8, {kBody, 0, 1, false, true}};
}

struct Colors {
    Color fill;
    Color text;
};

Colors ColorsFor(ButtonVariant variant, bool active, bool down, float hover) {
    if (!active) {
        return {variant == ButtonVariant::Subtle ? Color{0, 0, 0, 0} : RoleColor(10),
                RoleColor(17)};
    }
    switch (variant) {
        case ButtonVariant::Accent:
            if (down) {
                return {RoleColor(40), WithAlpha(RoleColor(18), 0.8f)};
            }
            return {Mix(RoleColor(38), RoleColor(39), hover), RoleColor(18)};
        case ButtonVariant::Subtle:
            if (down) {
                return {RoleColor(9), RoleColor(15)};
            }
            return {WithAlpha(RoleColor(8), hover), RoleColor(14)};
        case ButtonVariant::Danger: {
            const Color text = ReadableOn(RoleColor(23), Rgb(0x1A1A1A));
            if (down) {
                return {Mix(RoleColor(23), RoleColor(0), 0.25f), text};
            }
            return {Mix(RoleColor(23), RoleColor(24), hover), text};
        }
        case ButtonVariant::Standard:
        default:
            if (down) {
                return {RoleColor(9), RoleColor(15)};
            }
            return {Mix(RoleColor(7), RoleColor(8), hover), RoleColor(14)};
    }
}

}  // namespace

Button::Button(TextPair text, ButtonVariant v, IconId i)
    : variant(v), icon(i), label_(std::move(text)) {}

void Button::SetText(TextPair value) {
    if (value != label_) {
        label_ = std::move(value);
        RequestLayout();
    }
}

Size Button::Measure(float) {
    const Metrics m = MetricsFor(large);
    const std::wstring text = ShownText(label_);
    const float textWidth = MeasureText(text, m.style, kUnbounded).width;
    float content = textWidth;
    if (icon != IconId::None) {
        content += text.empty() ? m.icon : m.icon + m.gap;
    }
    const float width = text.empty() ? std::max(m.height, content + 16) : 2 * m.padding + content;
    return {std::max(minWidth, width), m.height};
}

void Button::Paint(RenderContext& context) {
    const Metrics m = MetricsFor(large);
    const bool active = IsEffectivelyEnabled();
    const Colors colors = ColorsFor(variant, active, ShowsPressed(), hover.current);
    context.FillRect(bounds, colors.fill, 8);
    if (variant == ButtonVariant::Standard) {
        context.StrokeRect(bounds, RoleColor(11), 1, 8);
    }
    const std::wstring text = ShownText(label_);
    const float textWidth = MeasureText(text, m.style, kUnbounded).width;
    const float iconPart = icon == IconId::None ? 0 : (text.empty() ? m.icon : m.icon + m.gap);
    const float available = text.empty() ? bounds.width : bounds.width - 2 * m.padding;
    const float contentWidth = std::min(available, iconPart + textWidth);
    float x = bounds.x + (bounds.width - contentWidth) / 2;
    if (icon != IconId::None) {
        context.DrawIcon(icon, {x, bounds.y + (bounds.height - m.icon) / 2, m.icon, m.icon},
                         colors.text);
        x += iconPart;
    }
    if (!text.empty()) {
        context.DrawText(
            text, {x, bounds.y, std::max(0.0f, bounds.Right() - m.padding - x + 1), bounds.height},
            m.style, colors.text);
    }
    context.DrawFocusRing(*this, bounds, 8);
}

void Button::OnClick() {
    if (IsEffectivelyEnabled() && onClick) {
        onClick();
    }
}

}  // namespace purvex::ui
