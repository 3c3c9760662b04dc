#pragma once

#include "ui/animated_float.h"
#include "ui/text_pair.h"
#include "ui/widget.h"

namespace purvex::ui {

// The press, hover and keyboard behaviour every clickable control shares: a left click that
// ends inside, or Enter or Space, calls OnClick while the control is effectively enabled.
class ButtonBase : public Widget {
public:
    bool IsFocusable(int direction) const override;
    bool OnMouseDown(const MouseEvent& event) override;
    bool OnMouseUp(const MouseEvent& event) override;
    bool OnKeyDown(const KeyEvent& event) override;
    void OnMouseEnter() override;
    void OnMouseLeave() override;
    bool OnAnimationTick(double nowMs) override;
    std::wstring Tooltip() const override;
    virtual void OnClick() = 0;

    // Pressed counts only while the pointer is still over the control.
    [[nodiscard]] bool ShowsPressed() const noexcept { return pressed && hovered; }

    AnimatedFloat hover{120, 0};
    TextPair tooltip;
};

}  // namespace purvex::ui
