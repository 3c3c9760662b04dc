#include "ui/geometry.h"

#include <algorithm>

namespace purvex::ui {

Rect Rect::Intersection(const Rect& o) const noexcept {
    const float left = std::max(x, o.x);
    const float top = std::max(y, o.y);
    const float right = std::min(Right(), o.Right());
    const float bottom = std::min(Bottom(), o.Bottom());
    return {left, top, std::max(0.0f, right - left), std::max(0.0f, bottom - top)};
}

}  // namespace purvex::ui
