#include "ui/card.h"

#include "ui/click_rules.h"
#include "ui/render_context.h"
#include "ui/theme.h"

namespace purvex::ui {

Card::Card() {
    spacing = 8;
    padding = {16, 16, 16, 16};
}

bool Card::IsFocusable(int) const {
    return Clickable() && IsEffectivelyEnabled();
}

HCURSOR Card::Cursor() const {
    return Clickable() ? LoadCursorW(nullptr, IDC_HAND) : nullptr;
}

void Card::Paint(RenderContext& context) {
    const Theme& theme = Theme::Get();
    Color surface = RoleColor(4);
    if (Clickable() && IsEffectivelyEnabled()) {
        surface =
            pressed && hovered ? RoleColor(6) : Mix(RoleColor(4), RoleColor(5), hover.current);
    }
    const bool backdrop = theme.BackdropActive() && !theme.ScreenshotMode();
    if (backdrop) {
        surface.a *= theme.IsDark() ? 0.8f : 0.82f;
    }
    context.DrawShadow(bounds, 14, 8);
    context.FillRect(bounds, surface, 14);
    if (selected) {
        context.StrokeRect(bounds, RoleColor(19), 2, 14);
    } else if (backdrop) {
        context.StrokeRect(bounds, WithAlpha(Rgb(0xFFFFFF), theme.IsDark() ? 0.08f : 0.85f), 1, 14);
    } else {
        context.StrokeRect(bounds, RoleColor(11), 1, 14);
    }
    context.DrawFocusRing(*this, bounds, 14);
}

bool Card::OnMouseDown(const MouseEvent& event) {
    return Clickable() && TakesClickPress(*this, event);
}

bool Card::OnMouseUp(const MouseEvent& event) {
    return Clickable() && ClickOnRelease(*this, event, bounds.Contains(event.position), onClick);
}

bool Card::OnKeyDown(const KeyEvent& event) {
    return Clickable() && ClickOnKey(*this, event, onClick);
}

void Card::OnMouseEnter() {
    if (Clickable()) {
        hover.AnimateTo(*this, 1);
    }
}

void Card::OnMouseLeave() {
    if (Clickable()) {
        hover.AnimateTo(*this, 0);
    }
}

bool Card::OnAnimationTick(double nowMs) {
    const bool running = hover.Tick(nowMs);
    Invalidate();
    return running;
}

}  // namespace purvex::ui
