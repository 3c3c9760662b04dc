#pragma once

#include <cstdint>
#include <functional>

#include "ui/animated_float.h"
#include "ui/text_pair.h"
#include "ui/widget.h"

namespace purvex::ui {

// A circular progress display with up to two lines of text inside; filled, it doubles as a
// round button.
class ProgressRing : public Widget {
public:
    ProgressRing(float diameter, float thickness = 0);

    void SetValue(float value);
    void SetPrimaryText(TextPair value);
    void SetSecondaryText(TextPair value);
    // The size classes of the two text lines for the ring's current size.
    [[nodiscard]] std::uint8_t PrimarySize() const;
    [[nodiscard]] std::uint8_t SecondarySize() const;

    Size Measure(float availableWidth) override;
    Widget* HitTest(Point point) override;
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
    float diameter;
    float thickness;
    float value = 0;
    bool indeterminate = false;
    bool filled = false;
    bool spinning = false;
    TextPair primaryText;
    TextPair secondaryText;
    bool customTextSizes = false;
    std::uint8_t primarySize = 4;
    std::uint8_t secondarySize = 1;
    AnimatedFloat hover{120, 0};
    double spinStart = 0;
    double now = 0;

private:
    [[nodiscard]] bool Clickable() const { return static_cast<bool>(onClick); }
    [[nodiscard]] bool Inside(Point point) const;
};

}  // namespace purvex::ui
