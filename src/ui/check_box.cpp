#include "ui/check_box.h"

#include <algorithm>

#include "ui/render_context.h"
#include "ui/text_measure.h"
#include "ui/theme.h"

namespace purvex::ui {
namespace {
constexpr TextStyle kTextStyle{kBody, 0, 1, true, true};
}  // namespace

CheckBox::CheckBox(TextPair text, CheckState initial) : state(initial), label_(std::move(text)) {}

Size CheckBox::Measure(float availableWidth) {
    const std::wstring text = ShownText(label_);
    if (text.empty()) {
        return {20, 20};
    }
    const Size s = MeasureText(text, kTextStyle, std::max(0.0f, availableWidth - 28));
    return {s.width + 28, std::max(s.height + 8, 32.0f)};
}

void CheckBox::Paint(RenderContext& context) {
    const bool active = IsEffectivelyEnabled();
    const bool down = ShowsPressed();
    const std::wstring text = ShownText(label_);
    const float top =
        text.empty() ? (bounds.height - 20) / 2 : std::min(6.0f, (bounds.height - 20) / 2);
    const Rect box{bounds.x, bounds.y + top, 20, 20};
    if (state != CheckState::Unchecked) {
        Color fill = Mix(RoleColor(38), RoleColor(39), hover.current);
        if (!active) {
            fill = RoleColor(17);
        } else if (down) {
            fill = RoleColor(40);
        }
        context.FillRect(box, fill, 6);
        const float inset = box.width * 0.12f;
        context.DrawIcon(
            state == CheckState::Checked ? IconId::CheckMark : IconId::Dash,
            {box.x + inset, box.y + inset, box.width - 2 * inset, box.height - 2 * inset},
            RoleColor(active ? 18 : 10));
    } else {
        Color fill = Mix(RoleColor(7), RoleColor(8), hover.current);
        if (!active) {
            fill = RoleColor(10);
        } else if (down) {
            fill = RoleColor(9);
        }
        context.FillRect(box, fill, 6);
        context.StrokeRect(box, RoleColor(active ? 12 : 17), 1, 6);
    }
    if (!text.empty()) {
        context.DrawText(
            text, {bounds.x + 28, bounds.y, std::max(0.0f, bounds.width - 28), bounds.height},
            kTextStyle, RoleColor(active ? 14 : 17));
    }
    context.DrawFocusRing(*this, text.empty() ? box : bounds, 6);
}

void CheckBox::OnClick() {
    state = state == CheckState::Checked ? CheckState::Unchecked : CheckState::Checked;
    Invalidate();
    if (onChange) {
        onChange(state);
    }
}

}  // namespace purvex::ui
