#pragma once

#include <functional>

#include "ui/animated_float.h"
#include "ui/widget.h"

namespace purvex::ui {

// A vertical scroll bar: a thin thumb that widens on hover and can be dragged; a click on the
// track pages toward the click.
class ScrollBar : public Widget {
public:
    ScrollBar();

    void SetMetrics(float contentHeight, float viewportHeight, float offset);
    [[nodiscard]] float MaxOffset() const;
    // The thumb's rectangle for the current metrics, in window DIPs.
    [[nodiscard]] Rect ThumbRect() const;

    void Paint(RenderContext& context) override;
    bool OnMouseDown(const MouseEvent& event) override;
    bool OnMouseMove(const MouseEvent& event) override;
    bool OnMouseUp(const MouseEvent& event) override;
    void OnMouseEnter() override;
    void OnMouseLeave() override;
    bool OnAnimationTick(double nowMs) override;

    std::function<void(float offset, bool animate)> onScroll;
    float contentHeight = 0;
    float viewportHeight = 0;
    float offset = 0;

private:
    AnimatedFloat hover_{120, 0};
    bool dragging_ = false;
    float dragStartY_ = 0;
    float dragStartOffset_ = 0;
};

}  // namespace purvex::ui
