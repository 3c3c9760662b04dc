#include "ui/segmented.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

#include "ui/render_context.h"
#include "ui/text_measure.h"
#include "ui/theme.h"

namespace purvex::ui {

Segmented::Segmented(std::vector<TextPair> list, std::int32_t initial)
    : items(std::move(list)),
      selected(items.empty() ? 0
                             : std::clamp<std::int32_t>(
                                   initial, 0, static_cast<std::int32_t>(items.size()) - 1)),
      slide(200, static_cast<float>(selected)) {}

bool Segmented::IsFocusable(int) const {
    return IsEffectivelyEnabled() && !items.empty();
}

Size Segmented::Measure(float) {
    float widest = 0;
    for (const TextPair& item : items) {
        widest = std::max(
            widest, MeasureText(ShownText(item), {kBody, 0, 1, false, true}, kUnbounded).width);
    }
    return {static_cast<float>(items.size()) * (widest + 32) + 6, 32};
}

std::int32_t Segmented::IndexAt(Point p) const {
    const auto n = static_cast<std::int32_t>(items.size());
    if (n == 0) {
        return -1;
    }
    const float d = (bounds.width - 6) / static_cast<float>(n);
    const auto i = d > 0 ? static_cast<std::int32_t>(std::floor((p.x - bounds.x - 3) / d)) : 0;
    return std::clamp(i, 0, n - 1);
}

void Segmented::Paint(RenderContext& context) {
    const bool active = IsEffectivelyEnabled();
    context.FillRect(bounds, RoleColor(10), 8);
    context.StrokeRect(bounds, RoleColor(11), 1, 8);
    const auto n = static_cast<std::int32_t>(items.size());
    if (n == 0) {
        return;
    }
    const float d = (bounds.width - 6) / static_cast<float>(n);
    const float top = bounds.y + 3;
    const float height = bounds.height - 6;
    auto segmentX = [&](float i) { return bounds.x + 3 + i * d; };
    if (active) {
        for (std::int32_t i : {hoveredIndex, pressedIndex}) {
            if (i >= 0 && i < n && i != selected) {
                context.FillRect({segmentX(static_cast<float>(i)), top, d, height},
                                 RoleColor(i == pressedIndex ? 9 : 8), 6);
            }
        }
    }
    const Rect pill{std::round(segmentX(slide.current)), top, std::round(d), height};
    context.FillRect(pill, RoleColor(4), 6);
    context.StrokeRect(pill, RoleColor(11), 1, 6);
    const float bar = std::min(d / 3, 16.0f);
    context.FillRect({pill.x + (pill.width - bar) / 2, pill.Bottom() - 3.5f, bar, 2.5f},
                     RoleColor(active ? 19 : 17), 1.5f);
    for (std::int32_t i = 0; i < n; ++i) {
        const bool isSelected = i == selected;
        const TextStyle style{isSelected ? kBodyStrong : kBody, 1, 1, false, true};
        const int role = !active ? 17 : (isSelected ? 14 : 15);
        context.DrawText(ShownText(items[static_cast<std::size_t>(i)]),
                         {segmentX(static_cast<float>(i)) + 4, bounds.y - 2, std::max(0.0f, d - 8),
                          bounds.height},
                         style, RoleColor(role));
    }
    context.DrawFocusRing(*this, bounds, 8);
}

bool Segmented::OnMouseDown(const MouseEvent& event) {
    if (event.button != 0 || !IsEffectivelyEnabled()) {
        return false;
    }
    pressedIndex = bounds.Contains(event.position) ? IndexAt(event.position) : -1;
    Invalidate();
    return true;
}

bool Segmented::OnMouseUp(const MouseEvent& event) {
    if (event.button != 0) {
        return false;
    }
    const std::int32_t pressedAt = std::exchange(pressedIndex, -1);
    if (bounds.Contains(event.position) && pressedAt >= 0 && IndexAt(event.position) == pressedAt) {
        SetSelected(pressedAt, true);
    }
    Invalidate();
    return true;
}

bool Segmented::OnMouseMove(const MouseEvent& event) {
    const std::int32_t index = bounds.Contains(event.position) ? IndexAt(event.position) : -1;
    if (index != hoveredIndex) {
        hoveredIndex = index;
        Invalidate();
    }
    return false;
}

void Segmented::OnMouseLeave() {
    if (hoveredIndex != -1) {
        hoveredIndex = -1;
        Invalidate();
    }
}

bool Segmented::OnKeyDown(const KeyEvent& event) {
    switch (event.virtualKey) {
        case VK_LEFT:
        case VK_UP:
            if (IsEffectivelyEnabled() && selected > 0) {
                SetSelected(selected - 1, true);
            }
            return true;
        case VK_RIGHT:
        case VK_DOWN:
            if (IsEffectivelyEnabled() && selected + 1 < static_cast<std::int32_t>(items.size())) {
                SetSelected(selected + 1, true);
            }
            return true;
        default:
            return false;
    }
}

void Segmented::SetSelected(std::int32_t index, bool notify) {
    if (items.empty()) {
        return;
    }
    index = std::clamp(index, 0, static_cast<std::int32_t>(items.size()) - 1);
    if (index == selected) {
        return;
    }
    selected = index;
    slide.AnimateTo(*this, static_cast<float>(index));
    Invalidate();
    if (notify && onChange) {
        onChange(index);
    }
}

bool Segmented::OnAnimationTick(double nowMs) {
    const bool running = slide.Tick(nowMs);
    Invalidate();
    return running;
}

}  // namespace purvex::ui
