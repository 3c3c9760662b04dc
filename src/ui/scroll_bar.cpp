#include "ui/scroll_bar.h"

#include <algorithm>

#include "ui/render_context.h"
#include "ui/theme.h"
#include "ui/widget_host.h"

namespace purvex::ui {
namespace {

constexpr float kMinThumb = 24;
constexpr float kMargin = 2;

}  // namespace

ScrollBar::ScrollBar() = default;

void ScrollBar::SetMetrics(float content, float viewport, float value) {
    contentHeight = content;
    viewportHeight = viewport;
    offset = value;
}

float ScrollBar::MaxOffset() const {
    return std::max(0.0f, contentHeight - viewportHeight);
}

Rect ScrollBar::ThumbRect() const {
    const float track = std::max(0.0f, bounds.height - 2 * kMargin);
    if (contentHeight <= 0 || MaxOffset() <= 0) {
        return {bounds.x, bounds.y + kMargin, bounds.width, track};
    }
    const float length = std::clamp(track * viewportHeight / contentHeight, kMinThumb, track);
    const float top = (track - length) * std::clamp(offset / MaxOffset(), 0.0f, 1.0f);
    return {bounds.x, bounds.y + kMargin + top, bounds.width, length};
}

void ScrollBar::Paint(RenderContext& context) {
    if (MaxOffset() <= 0) {
        return;
    }
    const Theme& theme = Theme::Get();
    const float h = dragging_ ? 1.0f : hover_.current;
    const float width = 4 + 4 * h;
    Rect thumb = ThumbRect();
    thumb.x = bounds.Right() - 3 - width;
    thumb.width = width;
    context.FillRect(thumb, Mix(theme.Role(34), theme.Role(35), h), width / 2);
}

bool ScrollBar::OnMouseDown(const MouseEvent& event) {
    if (event.button != 0 || MaxOffset() <= 0) {
        return false;
    }
    const Rect thumb = ThumbRect();
    if (event.position.y >= thumb.y && event.position.y < thumb.Bottom()) {
        dragging_ = true;
        dragStartY_ = event.position.y;
        dragStartOffset_ = offset;
        if (WidgetHost* h = Host()) {
            h->SetCapture(this);
        }
    } else if (onScroll) {
        const float page = std::max(40.0f, viewportHeight - 40);
        onScroll(
            std::clamp(offset + (event.position.y < thumb.y ? -page : page), 0.0f, MaxOffset()),
            true);
    }
    Invalidate();
    return true;
}

bool ScrollBar::OnMouseMove(const MouseEvent& event) {
    if (!dragging_) {
        return false;
    }
    const Rect thumb = ThumbRect();
    const float travel = std::max(1.0f, bounds.height - 2 * kMargin - thumb.height);
    const float value =
        std::clamp(dragStartOffset_ + (event.position.y - dragStartY_) * MaxOffset() / travel, 0.0f,
                   MaxOffset());
    if (onScroll) {
        onScroll(value, false);
    }
    return true;
}

bool ScrollBar::OnMouseUp(const MouseEvent& event) {
    if (event.button != 0) {
        return false;
    }
    if (dragging_) {
        dragging_ = false;
        if (WidgetHost* h = Host()) {
            h->ReleaseCapture();
        }
        Invalidate();
    }
    return true;
}

void ScrollBar::OnMouseEnter() {
    hover_.AnimateTo(*this, 1);
}

void ScrollBar::OnMouseLeave() {
    hover_.AnimateTo(*this, 0);
}

bool ScrollBar::OnAnimationTick(double nowMs) {
    const bool running = hover_.Tick(nowMs);
    Invalidate();
    return running;
}

}  // namespace purvex::ui
