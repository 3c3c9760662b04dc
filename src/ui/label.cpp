#include "ui/label.h"

#include "ui/render_context.h"
#include "ui/text_measure.h"
#include "ui/theme.h"

namespace purvex::ui {

Label::Label(TextPair text, std::uint8_t sizeClass, std::uint8_t colorRole)
    : style{sizeClass, 0, 1, false, true}, role(colorRole), text_(std::move(text)) {}

void Label::SetText(TextPair value) {
    if (value != text_) {
        text_ = std::move(value);
        RequestLayout();
    }
}

Size Label::Measure(float availableWidth) {
    return MeasureText(ShownText(text_), style, style.wrap ? availableWidth : kUnbounded);
}

void Label::Paint(RenderContext& context) {
    context.DrawText(ShownText(text_), bounds, style,
                     RoleColor(IsEffectivelyEnabled() ? role : 17));
}

std::wstring Label::Tooltip() const {
    if (style.wrap || !style.ellipsis) {
        return {};
    }
    std::wstring text = ShownText(text_);
    if (MeasureText(text, style, kUnbounded).width > bounds.width + 0.5f) {
        return text;
    }
    return {};
}

}  // namespace purvex::ui
