#pragma once

namespace purvex::ui {

// Device-independent pixels (1/96 inch) throughout the toolkit.
struct Point {
    float x = 0;
    float y = 0;
};

struct Size {
    float width = 0;
    float height = 0;
};

struct Rect {
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;

    [[nodiscard]] float Right() const noexcept { return x + width; }
    [[nodiscard]] float Bottom() const noexcept { return y + height; }
    // Half-open on the right and bottom edges, so neighbouring rectangles never share a point.
    [[nodiscard]] bool Contains(Point p) const noexcept {
        return p.x >= x && p.x < x + width && p.y >= y && p.y < y + height;
    }
    [[nodiscard]] bool Intersects(const Rect& o) const noexcept {
        return x < o.Right() && o.x < Right() && y < o.Bottom() && o.y < Bottom();
    }
    [[nodiscard]] Rect Inflated(float d) const noexcept {
        return {x - d, y - d, width + 2 * d, height + 2 * d};
    }
    [[nodiscard]] Rect Intersection(const Rect& o) const noexcept;
};

// Anything at or above this width counts as unbounded when measuring.
inline constexpr float kUnbounded = 1e30f;

}  // namespace purvex::ui
