// Control rules that need no window: sizes, values and animation steps.
#include <windows.h>

#include <functional>
#include <gtest/gtest.h>

#include "ui/animated_float.h"
#include "ui/button.h"
#include "ui/card.h"
#include "ui/label.h"
#include "ui/progress_bar.h"
#include "ui/progress_ring.h"
#include "ui/stack.h"
#include "ui/usage_bar.h"

namespace purvex::ui {
namespace {

TEST(ButtonTest, IconOnlyButtonIsSquare) {
    Button button(TextPair{}, ButtonVariant::Subtle, IconId::Settings);
    const Size normal = button.Measure(kUnbounded);
    EXPECT_FLOAT_EQ(normal.width, 32);
    EXPECT_FLOAT_EQ(normal.height, 32);
    button.large = true;
    const Size large = button.Measure(kUnbounded);
    EXPECT_FLOAT_EQ(large.width, 44);
    EXPECT_FLOAT_EQ(large.height, 44);
    button.minWidth = 120;
    EXPECT_FLOAT_EQ(button.Measure(kUnbounded).width, 120);
}

TEST(ButtonTest, ClickOutsideAWindowStillRespectsDisabledAncestors) {
    VStack parent;
    int clicks = 0;
    auto& button = parent.Add<Button>(Literal(L"Go"));
    button.onClick = [&] { ++clicks; };
    button.OnClick();
    parent.enabled = false;
    button.OnClick();
    EXPECT_FALSE(button.IsFocusable(1));
    EXPECT_EQ(clicks, 1);
}

// Buttons, cards and round progress buttons answer a click, Enter and Space alike.
TEST(ClickRulesTest, EveryClickableControlFollowsTheSameRules) {
    VStack parent;
    int clicks = 0;
    auto& button = parent.Add<Button>(Literal(L"Go"));
    button.onClick = [&] { ++clicks; };
    auto& card = parent.Add<Card>();
    card.onClick = [&] { ++clicks; };
    auto& ring = parent.Add<ProgressRing>(100.0f);
    ring.onClick = [&] { ++clicks; };
    for (Widget* control : {static_cast<Widget*>(&button), static_cast<Widget*>(&card),
                            static_cast<Widget*>(&ring)}) {
        control->bounds = {0, 0, 100, 100};
        const Point inside{50, 50};
        const Point outside{150, 50};
        struct Case {
            const char* what;
            bool enabled;
            std::function<bool()> send;
            bool handled;
            int clicks;
        };
        const Case cases[] = {
            {"left press", true,
             [&] {
                 return control->OnMouseDown({inside, 0});
             },
             true, 0},
            {"right press", true,
             [&] {
                 return control->OnMouseDown({inside, 1});
             },
             false, 0},
            {"release inside", true,
             [&] {
                 return control->OnMouseUp({inside, 0});
             },
             true, 1},
            {"release outside", true,
             [&] {
                 return control->OnMouseUp({outside, 0});
             },
             true, 0},
            {"right release", true,
             [&] {
                 return control->OnMouseUp({inside, 1});
             },
             false, 0},
            {"Enter", true, [&] { return control->OnKeyDown({VK_RETURN}); }, true, 1},
            {"Space", true, [&] { return control->OnKeyDown({VK_SPACE}); }, true, 1},
            {"Ctrl+Enter", true,
             [&] {
                 return control->OnKeyDown({VK_RETURN, true});
             },
             false, 0},
            {"Tab", true, [&] { return control->OnKeyDown({VK_TAB}); }, false, 0},
            {"press, disabled", false,
             [&] {
                 return control->OnMouseDown({inside, 0});
             },
             false, 0},
            {"release, disabled", false,
             [&] {
                 return control->OnMouseUp({inside, 0});
             },
             true, 0},
            {"Enter, disabled", false, [&] { return control->OnKeyDown({VK_RETURN}); }, false, 0},
        };
        for (const Case& c : cases) {
            parent.enabled = c.enabled;
            clicks = 0;
            EXPECT_EQ(c.send(), c.handled) << c.what;
            EXPECT_EQ(clicks, c.clicks) << c.what;
        }
    }
    // A card or ring without a click action is a plain surface.
    parent.enabled = true;
    card.onClick = nullptr;
    ring.onClick = nullptr;
    for (Widget* control : {static_cast<Widget*>(&card), static_cast<Widget*>(&ring)}) {
        EXPECT_FALSE(control->OnMouseDown({{50, 50}, 0}));
        EXPECT_FALSE(control->OnMouseUp({{50, 50}, 0}));
        EXPECT_FALSE(control->OnKeyDown({VK_RETURN}));
        EXPECT_FALSE(control->IsFocusable(1));
    }
}

TEST(LabelTest, TooltipShowsTrimmedOneLineTextOnly) {
    const std::wstring text = L"C:\\Users\\Demo\\AppData\\Local\\Temp\\a-long-file-name.tmp";
    Label label(Literal(text));
    const float full = label.Measure(kUnbounded).width;
    ASSERT_GT(full, 100);
    label.bounds = {0, 0, full, 20};
    EXPECT_EQ(label.Tooltip(), L"");
    label.bounds.width = full / 2;
    EXPECT_EQ(label.Tooltip(), text);
    label.style.ellipsis = false;
    EXPECT_EQ(label.Tooltip(), L"");
    label.style.ellipsis = true;
    label.style.wrap = true;
    EXPECT_EQ(label.Tooltip(), L"");
}

TEST(AnimatedFloatTest, EasesOutCubicallyAndStopsAtTheTarget) {
    AnimatedFloat a(100, 0);
    a.to = 10;
    a.from = 0;
    a.start = 1000;
    a.running = true;
    EXPECT_TRUE(a.Tick(1050));
    // u = 0.5: 1 - u^3 = 0.875.
    EXPECT_FLOAT_EQ(a.current, 8.75f);
    EXPECT_FALSE(a.Tick(1100));
    EXPECT_FLOAT_EQ(a.current, 10);
    EXPECT_FALSE(a.running);
}

TEST(AnimatedFloatTest, WidgetWithoutHostJumps) {
    Label label(Literal(L"x"));
    AnimatedFloat a(120, 0);
    a.AnimateTo(label, 1);
    EXPECT_FLOAT_EQ(a.current, 1);
    EXPECT_FALSE(a.running);
}

TEST(ProgressTest, SetValueClampsAndEndsIndeterminate) {
    ProgressBar bar;
    bar.indeterminate = true;
    bar.SetValue(1.5f);
    EXPECT_FALSE(bar.indeterminate);
    EXPECT_FLOAT_EQ(bar.value, 1);
    ProgressRing ring(64);
    ring.indeterminate = true;
    ring.SetValue(-1);
    EXPECT_FALSE(ring.indeterminate);
    EXPECT_FLOAT_EQ(ring.value, 0);
}

TEST(ProgressTest, BarInAHiddenParentStopsTicking) {
    VStack page;
    auto& bar = page.Add<ProgressBar>();
    bar.indeterminate = true;
    bar.animating = true;
    EXPECT_TRUE(bar.OnAnimationTick(10));
    page.visible = false;
    EXPECT_FALSE(bar.OnAnimationTick(20));
    EXPECT_FALSE(bar.animating);  // the next paint starts it again
}

TEST(ProgressTest, IndeterminateSegmentEasesAcrossItsCycle) {
    EXPECT_FLOAT_EQ(IndeterminateEase(0), 0);
    EXPECT_FLOAT_EQ(IndeterminateEase(800), 0.5f);
    EXPECT_FLOAT_EQ(IndeterminateEase(400), 0.0625f);
    EXPECT_FLOAT_EQ(IndeterminateEase(1600 + 400), 0.0625f);
}

TEST(ProgressTest, RingTextSizesFollowItsDiameter) {
    struct Case {
        float diameter;
        std::uint8_t primary;
        std::uint8_t secondary;
    };
    for (const Case& c : {Case{32, kCaption, kCaption}, Case{64, kSubtitle, kCaption},
                          Case{119, kSubtitle, kCaption}, Case{120, kTitle, kBody}}) {
        ProgressRing ring(c.diameter);
        ring.bounds = {0, 0, c.diameter, c.diameter};
        EXPECT_EQ(ring.PrimarySize(), c.primary) << c.diameter;
        EXPECT_EQ(ring.SecondarySize(), c.secondary) << c.diameter;
    }
    ProgressRing custom(140);
    custom.customTextSizes = true;
    custom.primarySize = kDisplay;
    EXPECT_EQ(custom.PrimarySize(), kDisplay);
}

TEST(ProgressTest, RingIsHitOnlyInsideItsCircle) {
    ProgressRing ring(100);
    ring.bounds = {0, 0, 100, 100};
    EXPECT_EQ(ring.HitTest({50, 50}), &ring);
    EXPECT_EQ(ring.HitTest({3, 3}), nullptr);
    EXPECT_EQ(ring.HitTest({50, 1}), &ring);
}

TEST(UsageBarTest, SpansStayInsideTheBar) {
    struct Case {
        std::uint64_t total, used, reclaimable;
        float usedSpan, reclaimableSpan;
    };
    for (const Case& c : {Case{0, 10, 5, 0, 0}, Case{100, 50, 10, 100, 20},
                          Case{100, 150, 0, 200, 0}, Case{100, 20, 60, 40, 40}}) {
        const UsageSpans s = ComputeUsageSpans(c.total, c.used, c.reclaimable, 200);
        EXPECT_FLOAT_EQ(s.used, c.usedSpan) << c.total << " " << c.used;
        EXPECT_FLOAT_EQ(s.reclaimable, c.reclaimableSpan) << c.total << " " << c.used;
    }
}

}  // namespace
}  // namespace purvex::ui
