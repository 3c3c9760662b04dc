#include "ui/click_rules.h"

#include <windows.h>

namespace purvex::ui {

bool TakesClickPress(const Widget& control, const MouseEvent& event) {
    return event.button == 0 && control.IsEffectivelyEnabled();
}

bool ClickOnRelease(const Widget& control, const MouseEvent& event, bool inside,
                    const std::function<void()>& click) {
    if (event.button != 0) {
        return false;
    }
    if (inside && control.IsEffectivelyEnabled()) {
        click();
    }
    return true;
}

bool ClickOnKey(const Widget& control, const KeyEvent& event, const std::function<void()>& click) {
    if (!control.IsEffectivelyEnabled() || event.ctrl || event.alt) {
        return false;
    }
    if (event.virtualKey == VK_RETURN || event.virtualKey == VK_SPACE) {
        click();
        return true;
    }
    return false;
}

}  // namespace purvex::ui
