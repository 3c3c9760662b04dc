// Measuring, arranging and hit testing without a window.
#include <gtest/gtest.h>
#include <memory>

#include "ui/stack.h"

namespace purvex::ui {
namespace {

class Box : public Widget {
public:
    Box(float w, float h) : size_{w, h} {}
    Size Measure(float) override { return size_; }

private:
    Size size_;
};

TEST(StackLayoutTest, VerticalStackAddsPaddingSpacingAndWidestChild) {
    VStack stack;
    stack.padding = {10, 10, 10, 10};
    stack.spacing = 8;
    stack.Add<Box>(40, 20);
    stack.Add<Box>(70, 30);
    const Size s = stack.Measure(kUnbounded);
    EXPECT_FLOAT_EQ(s.height, 78);
    EXPECT_FLOAT_EQ(s.width, 90);
}

TEST(StackLayoutTest, FillChildrenShareTheFreeSpaceByWeight) {
    HStack stack;
    Widget& fixed = stack.Add<Box>(10, 10);
    Widget& one = stack.Add<Box>(10, 10);
    Widget& two = stack.Add<Box>(10, 10);
    stack.SetItem(&fixed, {kSizeFixed, 100});
    stack.SetItem(&one, {kSizeFill, 1});
    stack.SetItem(&two, {kSizeFill, 2});
    stack.bounds = {0, 0, 300, 40};
    stack.Arrange();
    EXPECT_FLOAT_EQ(fixed.bounds.width, 100);
    EXPECT_NEAR(one.bounds.width, 66.67, 0.01);
    EXPECT_NEAR(two.bounds.width, 133.33, 0.01);
    EXPECT_NEAR(two.bounds.x, 166.67, 0.01);
    // A horizontal stack centres its children vertically by default.
    EXPECT_FLOAT_EQ(one.bounds.y, 15);
}

TEST(StackLayoutTest, MainAlignPlacesTheGroupWhenNothingFills) {
    struct Case {
        std::uint8_t align;
        float firstX;
    };
    for (const Case& c : {Case{kAlignStart, 0}, Case{kAlignCenter, 35}, Case{kAlignEnd, 70}}) {
        HStack stack;
        stack.spacing = 10;
        stack.mainAlign = c.align;
        Widget& a = stack.Add<Box>(10, 10);
        Widget& b = stack.Add<Box>(10, 10);
        stack.bounds = {0, 0, 100, 10};
        stack.Arrange();
        EXPECT_FLOAT_EQ(a.bounds.x, c.firstX) << int(c.align);
        EXPECT_FLOAT_EQ(b.bounds.x, c.firstX + 20) << int(c.align);
    }
}

TEST(StackLayoutTest, InvisibleChildrenTakeNoSpaceAndNoGap) {
    VStack stack;
    stack.spacing = 8;
    stack.Add<Box>(10, 20);
    stack.Add<Box>(10, 50).visible = false;
    Widget& last = stack.Add<Box>(10, 20);
    EXPECT_FLOAT_EQ(stack.Measure(kUnbounded).height, 48);
    stack.bounds = {0, 0, 10, 100};
    stack.Arrange();
    EXPECT_FLOAT_EQ(last.bounds.y, 28);
}

TEST(StackLayoutTest, WrappingStackBreaksLinesAndGivesWideChildrenTheirOwn) {
    HStack stack;
    stack.wrap = true;
    stack.spacing = 10;
    stack.lineSpacing = 5;
    Widget& a = stack.Add<Box>(40, 10);
    Widget& b = stack.Add<Box>(40, 20);
    Widget& c = stack.Add<Box>(40, 10);
    Widget& wide = stack.Add<Box>(500, 10);
    const Size s = stack.Measure(100);
    // Lines: a b (20 high), c (10), wide (10, cut to the line width).
    EXPECT_FLOAT_EQ(s.height, 20 + 5 + 10 + 5 + 10);
    EXPECT_FLOAT_EQ(s.width, 100);
    stack.bounds = {0, 0, 100, s.height};
    stack.Arrange();
    EXPECT_FLOAT_EQ(b.bounds.x, 50);
    EXPECT_FLOAT_EQ(c.bounds.x, 0);
    EXPECT_FLOAT_EQ(c.bounds.y, 25);
    EXPECT_FLOAT_EQ(wide.bounds.y, 40);
    EXPECT_FLOAT_EQ(wide.bounds.width, 100);
    EXPECT_FLOAT_EQ(a.bounds.y, 5);  // centred in its 20-high line
}

TEST(HitTestTest, LaterChildrenWinAndDisabledSubtreesAreTransparent) {
    VStack root;
    root.bounds = {0, 0, 100, 100};
    auto& under = root.Add<Box>(0, 0);
    under.bounds = {0, 0, 50, 50};
    auto& over = root.Add<Box>(0, 0);
    over.bounds = {25, 25, 50, 50};
    auto& spacer = root.Add<Spacer>();
    spacer.bounds = {0, 60, 100, 40};
    EXPECT_EQ(root.HitTest({30, 30}), &over);
    EXPECT_EQ(root.HitTest({10, 10}), &under);
    EXPECT_EQ(root.HitTest({10, 70}), &root);     // a spacer is never hit
    EXPECT_EQ(root.HitTest({100, 50}), nullptr);  // right edge is outside
    over.enabled = false;
    EXPECT_EQ(root.HitTest({30, 30}), &under);
    EXPECT_EQ(root.HitTest({60, 60}), &root);
    under.visible = false;
    EXPECT_EQ(root.HitTest({10, 10}), &root);
}

}  // namespace
}  // namespace purvex::ui
