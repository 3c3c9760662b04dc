#include "ui/button_base.h"

#include "ui/click_rules.h"

namespace purvex::ui {

bool ButtonBase::IsFocusable(int) const {
    return IsEffectivelyEnabled();
}

bool ButtonBase::OnMouseDown(const MouseEvent& event) {
    return TakesClickPress(*this, event);
}

bool ButtonBase::OnMouseUp(const MouseEvent& event) {
    return ClickOnRelease(*this, event, bounds.Contains(event.position), [this] { OnClick(); });
}

bool ButtonBase::OnKeyDown(const KeyEvent& event) {
    return ClickOnKey(*this, event, [this] { OnClick(); });
}

void ButtonBase::OnMouseEnter() {
    hover.AnimateTo(*this, 1);
}

void ButtonBase::OnMouseLeave() {
    hover.AnimateTo(*this, 0);
}

bool ButtonBase::OnAnimationTick(double nowMs) {
    const bool running = hover.Tick(nowMs);
    Invalidate();
    return running;
}

std::wstring ButtonBase::Tooltip() const {
    return ShownText(tooltip);
}

}  // namespace purvex::ui
