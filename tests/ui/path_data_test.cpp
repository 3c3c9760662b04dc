// Icon path data and the Bézier arcs that replace Direct2D's arc segments.
#include "ui/path_data.h"

#include <cmath>
#include <gtest/gtest.h>

#include "ui/icons.h"

namespace purvex::ui {
namespace {

Point End(const PathFigure& f) {
    return f.segments.empty() ? f.start : f.segments.back().end;
}

// The point of a cubic Bézier at t.
Point At(Point p0, const PathSegment& s, float t) {
    const float u = 1 - t;
    return {
        u * u * u * p0.x + 3 * u * u * t * s.c1.x + 3 * u * t * t * s.c2.x + t * t * t * s.end.x,
        u * u * u * p0.y + 3 * u * u * t * s.c1.y + 3 * u * t * t * s.c2.y + t * t * t * s.end.y};
}

TEST(PathDataTest, ParsesTheSubsetAndRejectsMalformedData) {
    struct Case {
        const char* data;
        bool ok;
        std::size_t figures;
    };
    for (const Case& c :
         {Case{"M5 12.5 L9.8 17.3 L19 7.2", true, 1}, Case{"M1 1 H5 V5 Z M8 8 L9 9", true, 2},
          Case{"M1,1 L2,2 3,3", true, 1}, Case{"M3 7 A1.5 1.5 0 0 1 5 5.5 C1 2 3 4 5 6 Z", true, 1},
          Case{"L1 1", false, 0}, Case{"M1", false, 0}, Case{"M1 1 Q2 2 3 3", false, 0},
          Case{"M1 1 A1 1 0 2 0 3 3", false, 0}, Case{"M1 1 Z 4 4", false, 0}, Case{"", true, 0}}) {
        const auto figures = ParsePathData(c.data);
        EXPECT_EQ(figures.has_value(), c.ok) << c.data;
        if (figures) {
            EXPECT_EQ(figures->size(), c.figures) << c.data;
        }
    }
}

TEST(PathDataTest, EveryIconParses) {
    for (std::uint16_t id = 1; id <= kIconCount; ++id) {
        const IconDefinition& icon = GetIconDefinition(static_cast<IconId>(id));
        ASSERT_FALSE(icon.parts.empty()) << id;
        for (const IconPart& part : icon.parts) {
            const auto figures = ParsePathData(part.data);
            ASSERT_TRUE(figures.has_value()) << id << ": " << part.data;
            EXPECT_FALSE(figures->empty()) << id;
        }
    }
    EXPECT_TRUE(GetIconDefinition(static_cast<IconId>(kIconCount + 1)).parts.empty());
}

TEST(PathDataTest, SvgArcEndsOnItsEndPointAndStaysOnTheCircle) {
    const auto figures = ParsePathData("M4.5 12 A7.5 7.5 0 1 1 12 19.5");
    ASSERT_TRUE(figures && figures->size() == 1);
    const PathFigure& f = figures->front();
    EXPECT_FLOAT_EQ(End(f).x, 12);
    EXPECT_FLOAT_EQ(End(f).y, 19.5f);
    // A large clockwise arc of 270 degrees takes three quarter pieces.
    EXPECT_EQ(f.segments.size(), 3u);
    Point p0 = f.start;
    for (const PathSegment& s : f.segments) {
        ASSERT_TRUE(s.cubic);
        const Point mid = At(p0, s, 0.5f);
        EXPECT_NEAR(std::hypot(mid.x - 12, mid.y - 12), 7.5, 0.01);
        p0 = s.end;
    }
    // Clockwise from 9 o'clock goes over the top first.
    EXPECT_LT(At(f.start, f.segments[0], 0.5f).y, 12);
}

TEST(PathDataTest, CircularArcRunsClockwiseForPositiveSweeps) {
    const Point c{50, 50};
    struct Case {
        float start;
        float sweep;
        Point end;
    };
    for (const Case& k : {Case{0, 90, {60, 50}}, Case{0, -90, {40, 50}}, Case{90, 180, {40, 50}},
                          Case{0, 359, {50 - 10 * std::sin(0.01745f), 40.0015f}}}) {
        const PathFigure f = CircularArc(c, 10, k.start, k.sweep);
        EXPECT_NEAR(End(f).x, k.end.x, 0.01) << k.start << " " << k.sweep;
        EXPECT_NEAR(End(f).y, k.end.y, 0.01) << k.start << " " << k.sweep;
    }
    const PathFigure ccw = CircularArc(c, 10, 0, -90);
    EXPECT_NEAR(ccw.start.x, 50, 1e-4);
    EXPECT_NEAR(ccw.start.y, 40, 1e-4);
    // The counter-clockwise quarter passes through the upper left.
    const Point mid = At(ccw.start, ccw.segments[0], 0.5f);
    EXPECT_LT(mid.x, 50);
    EXPECT_LT(mid.y, 50);
}

}  // namespace
}  // namespace purvex::ui
