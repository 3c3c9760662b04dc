#include "ui/button_base.h"

#include <windows.h>

namespace purvex::ui {

bool ButtonBase::IsFocusable(int) const {
    return IsEffectivelyEnabled();
}

bool ButtonBase::OnMouseDown(const MouseEvent& event) {
    return event.button == 0 && IsEffectivelyEnabled();
}

bool ButtonBase::OnMouseUp(const MouseEvent& event) {
    if (event.button != 0) {
        return false;
    }
    if (IsEffectivelyEnabled() && bounds.Contains(event.position)) {
        OnClick();
    }
    return true;
}

bool ButtonBase::OnKeyDown(const KeyEvent& event) {
    if (!IsEffectivelyEnabled() || event.ctrl || event.alt) {
        return false;
    }
    if (event.virtualKey == VK_RETURN || event.virtualKey == VK_SPACE) {
        OnClick();
        return true;
    }
    return false;
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
