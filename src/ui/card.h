#pragma once

#include <functional>

#include "ui/animated_float.h"
#include "ui/stack.h"

namespace purvex::ui {

// A padded surface with a soft shadow that lays its children out as a column; clickable when
// it has an onClick.
class Card : public VStack {
public:
    Card();

    bool IsFocusable(int direction) const override;
    HCURSOR Cursor() const override;
    void Paint(RenderContext& context) override;
    bool OnMouseDown(const MouseEvent& event) override;
    bool OnMouseUp(const MouseEvent& event) override;
    bool OnKeyDown(const KeyEvent& event) override;
    void OnMouseEnter() override;
    void OnMouseLeave() override;
    bool OnAnimationTick(double nowMs) override;

    std::function<void()> onClick;
    bool selected = false;
    AnimatedFloat hover{120, 0};

private:
    [[nodiscard]] bool Clickable() const { return static_cast<bool>(onClick); }
};

}  // namespace purvex::ui
