#include "ui/scroll_view.h"

#include <algorithm>
#include <cmath>

#include "ui/animated_float.h"
#include "ui/scroll_bar.h"
#include "ui/widget_host.h"

namespace purvex::ui {

namespace {
constexpr float kBarWidth = 14;
constexpr float kWheelStep = 80;
}  // namespace

ScrollView::ScrollView() {
    bar_ = &Add<ScrollBar>();
    bar_->onScroll = [this](float offset, bool animate) { ScrollTo(offset, animate); };
}

Widget* ScrollView::SetContent(std::unique_ptr<Widget> content) {
    if (content_ != nullptr) {
        RemoveChild(content_);
        content_ = nullptr;
    }
    if (!content) {
        return nullptr;
    }
    content->parent = this;
    // The content paints below the scroll bar.
    children.insert(children.begin(), std::move(content));
    content_ = children.front().get();
    RequestLayout();
    return content_;
}

float ScrollView::MaxOffset() const {
    return std::max(0.0f, contentHeight - bounds.height);
}

Size ScrollView::Measure(float availableWidth) {
    return content_ != nullptr ? content_->Measure(availableWidth) : Size{};
}

void ScrollView::Arrange() {
    if (content_ != nullptr) {
        contentHeight = content_->visible ? content_->Measure(bounds.width).height : 0;
    } else {
        contentHeight = 0;
    }
    targetOffset = std::clamp(targetOffset, 0.0f, MaxOffset());
    currentOffset = std::clamp(currentOffset, 0.0f, MaxOffset());
    if (content_ != nullptr) {
        placedOffset_ = std::round(currentOffset);
        content_->bounds = {bounds.x, bounds.y - placedOffset_, bounds.width, contentHeight};
        content_->Arrange();
    }
    bar_->bounds = {bounds.Right() - kBarWidth, bounds.y, kBarWidth, bounds.height};
    bar_->SetMetrics(contentHeight, bounds.height, currentOffset);
    bar_->visible = MaxOffset() > 0;
}

void ScrollView::PlaceContent() {
    const float placed = std::round(currentOffset);
    if (content_ != nullptr && placed != placedOffset_) {
        OffsetSubtree(*content_, placedOffset_ - placed);
        placedOffset_ = placed;
    }
    bar_->SetMetrics(contentHeight, bounds.height, currentOffset);
    Invalidate();
}

void ScrollView::ScrollTo(float offset, bool animate) {
    targetOffset = std::clamp(offset, 0.0f, MaxOffset());
    WidgetHost* h = Host();
    if (animate && h != nullptr) {
        lastTick = NowMs();
        h->StartAnimation(this);
    } else {
        currentOffset = targetOffset;
        PlaceContent();
    }
}

void ScrollView::EnsureVisible(const Rect& rect, float margin) {
    const float top = rect.y - margin;
    const float bottom = rect.Bottom() + margin;
    // The rectangle is where the content sits now, at the placed offset.
    if (top < bounds.y) {
        ScrollTo(placedOffset_ - (bounds.y - top), true);
    } else if (bottom > bounds.Bottom()) {
        ScrollTo(placedOffset_ + std::min(bottom - bounds.Bottom(), top - bounds.y), true);
    }
}

bool ScrollView::OnMouseWheel(float notches, Point) {
    const float max = MaxOffset();
    if (max <= 0 || notches == 0 || (notches > 0 && targetOffset <= 0) ||
        (notches < 0 && targetOffset >= max)) {
        return false;
    }
    ScrollTo(targetOffset - kWheelStep * notches, true);
    return true;
}

bool ScrollView::OnAnimationTick(double nowMs) {
    const double dt = std::max(1.0, nowMs - lastTick);
    lastTick = nowMs;
    const float distance = targetOffset - currentOffset;
    if (std::abs(distance) <= 0.5f) {
        currentOffset = targetOffset;
    } else {
        currentOffset += distance * static_cast<float>(1 - std::exp(-dt / 60.0));
        if (std::abs(targetOffset - currentOffset) <= 0.5f) {
            currentOffset = targetOffset;
        }
    }
    PlaceContent();
    return currentOffset != targetOffset;
}

}  // namespace purvex::ui
