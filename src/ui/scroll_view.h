#pragma once

#include <memory>

#include "ui/widget.h"

namespace purvex::ui {

class ScrollBar;

// Shows one content widget through a viewport with a vertical scroll bar along its right edge.
class ScrollView : public Widget {
public:
    ScrollView();

    Widget* SetContent(std::unique_ptr<Widget> content);
    template <typename T, typename... Args>
    T& SetContent(Args&&... args) {
        return static_cast<T&>(*SetContent(std::make_unique<T>(std::forward<Args>(args)...)));
    }
    [[nodiscard]] Widget* Content() const noexcept { return content_; }
    void ScrollTo(float offset, bool animate);
    // Scrolls the least distance that brings the rectangle inside the viewport with a margin.
    void EnsureVisible(const Rect& rect, float margin);
    [[nodiscard]] float MaxOffset() const;

    Size Measure(float availableWidth) override;
    void Arrange() override;
    bool ClipsChildren() const override { return true; }
    bool OnMouseWheel(float notches, Point point) override;
    bool OnAnimationTick(double nowMs) override;

    float currentOffset = 0;
    float targetOffset = 0;
    float contentHeight = 0;
    double lastTick = 0;

private:
    void PlaceContent();

    Widget* content_ = nullptr;
    ScrollBar* bar_ = nullptr;
    float placedOffset_ = 0;
};

}  // namespace purvex::ui
