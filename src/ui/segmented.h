#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "ui/animated_float.h"
#include "ui/text_pair.h"
#include "ui/widget.h"

namespace purvex::ui {

// A row of mutually exclusive choices with a sliding selection pill.
class Segmented : public Widget {
public:
    Segmented(std::vector<TextPair> items, std::int32_t selected);

    void SetSelected(std::int32_t index, bool notify);
    // The segment under a point, clamped to the ends.
    [[nodiscard]] std::int32_t IndexAt(Point point) const;

    bool IsFocusable(int direction) const override;
    Size Measure(float availableWidth) override;
    void Paint(RenderContext& context) override;
    bool OnMouseDown(const MouseEvent& event) override;
    bool OnMouseUp(const MouseEvent& event) override;
    bool OnMouseMove(const MouseEvent& event) override;
    void OnMouseLeave() override;
    bool OnKeyDown(const KeyEvent& event) override;
    bool OnAnimationTick(double nowMs) override;

    std::function<void(std::int32_t)> onChange;
    std::vector<TextPair> items;
    std::int32_t selected;
    std::int32_t hoveredIndex = -1;
    std::int32_t pressedIndex = -1;
    AnimatedFloat slide;
};

}  // namespace purvex::ui
