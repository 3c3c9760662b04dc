#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/geometry.h"

namespace purvex::ui {

// A straight line or a cubic Bézier ending at `end`. Arcs are turned into Béziers of at most
// 90 degrees each: that is exact enough to the eye and draws the same on every Direct2D.
struct PathSegment {
    bool cubic = false;
    Point c1;
    Point c2;
    Point end;
};

struct PathFigure {
    Point start;
    std::vector<PathSegment> segments;
    bool closed = false;
};

// Parses the absolute SVG path subset M, L, H, V, C, A and Z (a command letter may be followed
// by several coordinate groups). Nothing when the data is malformed.
std::optional<std::vector<PathFigure>> ParsePathData(std::string_view data);

// Appends the SVG endpoint arc from `from` to `to` as Béziers.
void AppendSvgArc(Point from, float rx, float ry, float rotationDeg, bool largeArc, bool sweep,
                  Point to, std::vector<PathSegment>& out);

// A circular arc with angles in degrees clockwise from 12 o'clock; a positive sweep runs
// clockwise. The figure starts at the start angle.
PathFigure CircularArc(Point centre, float radius, float startDeg, float sweepDeg);

// Path-data helpers for icon shapes.
std::string RoundedRectPath(float x, float y, float width, float height, float radius);
std::string CirclePath(float cx, float cy, float r);

}  // namespace purvex::ui
