// Mouse and keyboard input delivered as real window messages to a ui::Window.
#include <windows.h>

#include <cmath>
#include <gtest/gtest.h>
#include <memory>

#include "core/com_ptr.h"
#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/icon_button.h"
#include "ui/info_bar.h"
#include "ui/scroll_view.h"
#include "ui/segmented.h"
#include "ui/stack.h"
#include "ui/window.h"

namespace purvex::ui {
namespace {

class Box : public Widget {
public:
    Box(float w, float h) : size_{w, h} {}
    Size Measure(float) override { return size_; }

private:
    Size size_;
};

class WindowInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(window.Create({L"input test", 600, 400, 200, 200}));
        auto root = std::make_unique<VStack>();
        root->padding = {20, 20, 20, 20};
        root->spacing = 10;
        root->crossAlign = kAlignStart;
        stack = root.get();
        window.SetRoot(std::move(root));
    }

    void Layout() { window.LayoutIfNeeded(); }

    LPARAM At(Point dip) const {
        const float scale = window.Dpi() / 96.0f;
        const int x = static_cast<int>(std::lround(dip.x * scale));
        const int y = static_cast<int>(std::lround(dip.y * scale));
        return MAKELPARAM(x, y);
    }
    static Point Centre(const Widget& w) {
        return {w.bounds.x + w.bounds.width / 2, w.bounds.y + w.bounds.height / 2};
    }
    void Send(UINT message, WPARAM wParam, LPARAM lParam) {
        SendMessageW(window.NativeHandle(), message, wParam, lParam);
    }
    void Click(const Widget& w) { ClickAt(Centre(w)); }
    void ClickAt(Point p) {
        Send(WM_MOUSEMOVE, 0, At(p));
        Send(WM_LBUTTONDOWN, MK_LBUTTON, At(p));
        Send(WM_LBUTTONUP, 0, At(p));
    }
    void Key(UINT vk) { Send(WM_KEYDOWN, vk, 0); }

    core::ScopedCoInit com{COINIT_APARTMENTTHREADED};
    Window window;
    VStack* stack = nullptr;
};

TEST_F(WindowInputTest, ClickRunsTheButtonAndFocusesIt) {
    int clicks = 0;
    auto& button = stack->Add<Button>(Literal(L"Go"), ButtonVariant::Accent);
    button.onClick = [&] { ++clicks; };
    Layout();
    Send(WM_MOUSEMOVE, 0, At(Centre(button)));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(Centre(button)));
    EXPECT_TRUE(button.pressed);
    EXPECT_EQ(clicks, 0);
    Send(WM_LBUTTONUP, 0, At(Centre(button)));
    EXPECT_FALSE(button.pressed);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(window.FocusedWidget(), &button);
    // Released outside: no click.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(Centre(button)));
    Send(WM_LBUTTONUP, 0, At({590, 390}));
    EXPECT_EQ(clicks, 1);
    // Keyboard: Enter and Space click, Ctrl+Enter does not reach the button.
    Key(VK_RETURN);
    Key(VK_SPACE);
    EXPECT_EQ(clicks, 3);
}

TEST_F(WindowInputTest, ClickOnDisabledButtonLandsOnItsParent) {
    int clicks = 0;
    auto& button = stack->Add<Button>(Literal(L"Off"), ButtonVariant::Standard);
    button.onClick = [&] { ++clicks; };
    button.enabled = false;
    Layout();
    Click(button);
    EXPECT_FALSE(button.pressed);
    EXPECT_EQ(window.FocusedWidget(), nullptr);
    Key(VK_RETURN);
    EXPECT_EQ(clicks, 0);
}

TEST_F(WindowInputTest, TabWalksFocusableWidgetsInTreeOrderAndWraps) {
    auto& a = stack->Add<Button>(Literal(L"A"));
    auto& row = stack->Add<HStack>();
    auto& b = row.Add<Button>(Literal(L"B"));
    row.Add<Button>(Literal(L"hidden")).visible = false;
    row.Add<Button>(Literal(L"disabled")).enabled = false;
    auto& c = stack->Add<CheckBox>(Literal(L"C"));
    Layout();
    const Widget* expected[] = {&a, &b, &c, &a};
    for (const Widget* w : expected) {
        Key(VK_TAB);
        EXPECT_EQ(window.FocusedWidget(), w);
    }
    EXPECT_TRUE(window.ShowsFocusIndicator());
    // Shift+Tab goes back: the window reads Shift from the key state, so hold it for real.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    Key(VK_TAB);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(window.FocusedWidget(), &c);
    // A click hides the focus ring again.
    Click(b);
    EXPECT_FALSE(window.ShowsFocusIndicator());
}

TEST_F(WindowInputTest, TabWithNothingFocusableDoesNothing) {
    stack->Add<Box>(50, 50);
    Layout();
    Key(VK_TAB);
    EXPECT_EQ(window.FocusedWidget(), nullptr);
}

TEST_F(WindowInputTest, CheckBoxClicksCycleAndReportTheNewState) {
    auto& box = stack->Add<CheckBox>(Literal(L"Option"), CheckState::Indeterminate);
    std::vector<CheckState> seen;
    box.onChange = [&](CheckState s) { seen.push_back(s); };
    Layout();
    Click(box);
    Click(box);
    EXPECT_EQ(seen, (std::vector<CheckState>{CheckState::Checked, CheckState::Unchecked}));
}

TEST_F(WindowInputTest, SegmentedSelectsOnlyWhereThePressEnded) {
    auto& seg = stack->Add<Segmented>(
        std::vector<TextPair>{Literal(L"One"), Literal(L"Two"), Literal(L"Three")}, 0);
    std::vector<std::int32_t> seen;
    seg.onChange = [&](std::int32_t i) { seen.push_back(i); };
    Layout();
    const float d = (seg.bounds.width - 6) / 3;
    auto segment = [&](int i) {
        return Point{seg.bounds.x + 3 + d * (static_cast<float>(i) + 0.5f), Centre(seg).y};
    };
    // Dragging from one segment to another selects nothing.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(segment(1)));
    Send(WM_MOUSEMOVE, MK_LBUTTON, At(segment(2)));
    Send(WM_LBUTTONUP, 0, At(segment(2)));
    EXPECT_EQ(seg.selected, 0);
    ClickAt(segment(2));
    EXPECT_EQ(seg.selected, 2);
    // Arrow keys move one step and stop at the ends.
    Key(VK_RIGHT);
    Key(VK_LEFT);
    Key(VK_UP);
    Key(VK_UP);
    Key(VK_UP);
    EXPECT_EQ(seen, (std::vector<std::int32_t>{2, 1, 0}));
}

TEST_F(WindowInputTest, ComboBoxArrowsChangeTheSelection) {
    auto& combo = stack->Add<ComboBox>(
        std::vector<TextPair>{Literal(L"a"), Literal(L"b"), Literal(L"c")}, -1, Literal(L"pick"));
    std::vector<std::int32_t> seen;
    combo.onChange = [&](std::int32_t i) { seen.push_back(i); };
    Layout();
    Key(VK_TAB);
    ASSERT_EQ(window.FocusedWidget(), &combo);
    Key(VK_UP);  // from none to the first item
    Key(VK_DOWN);
    Key(VK_DOWN);
    Key(VK_DOWN);  // stays on the last
    EXPECT_EQ(seen, (std::vector<std::int32_t>{0, 1, 2}));
}

TEST(DropDownPlacementTest, OpensAboveOnlyWhenThereIsMoreRoomThere) {
    struct Case {
        float fieldY;
        float listHeight;
        float top;
        float height;
    };
    // Window 600 high, field 32 high.
    for (const Case& c : {Case{100, 200, 136, 200}, Case{500, 200, 296, 200},
                          Case{500, 600, 168, 328}, Case{300, 400, 336, 256}}) {
        const Rect r = PlaceDropDownList({10, c.fieldY, 120, 32}, 600, 80, c.listHeight);
        EXPECT_FLOAT_EQ(r.y, c.top) << c.fieldY;
        EXPECT_FLOAT_EQ(r.height, c.height) << c.fieldY;
        EXPECT_FLOAT_EQ(r.width, 120);
    }
}

TEST_F(WindowInputTest, WheelBubblesFromAViewWithNothingToScroll) {
    auto& outer = stack->Add<ScrollView>();
    stack->SetItem(&outer, {kSizeFixed, 200, true, kAlignStretch});
    auto& content = outer.SetContent<VStack>();
    auto& inner = content.Add<ScrollView>();
    content.SetItem(&inner, {kSizeFixed, 100});
    inner.SetContent<Box>(100, 50);
    content.Add<Box>(100, 1000);
    Layout();
    POINT screen{static_cast<LONG>(Centre(inner).x), static_cast<LONG>(Centre(inner).y)};
    const float scale = window.Dpi() / 96.0f;
    screen.x = static_cast<LONG>(std::lround(static_cast<float>(screen.x) * scale));
    screen.y = static_cast<LONG>(std::lround(static_cast<float>(screen.y) * scale));
    ClientToScreen(window.NativeHandle(), &screen);
    // Away from the user at the top: nothing moves anywhere.
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(outer.targetOffset, 0);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
         MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(inner.targetOffset, 0);
    EXPECT_EQ(outer.targetOffset, 80);
}

TEST_F(WindowInputTest, FocusMovesScrolledOutWidgetsIntoView) {
    auto& view = stack->Add<ScrollView>();
    stack->SetItem(&view, {kSizeFixed, 150, true, kAlignStretch});
    auto& content = view.SetContent<VStack>();
    content.Add<Box>(100, 400);
    auto& button = content.Add<Button>(Literal(L"Far"));
    content.Add<Box>(100, 400);
    Layout();
    Key(VK_TAB);
    ASSERT_EQ(window.FocusedWidget(), &button);
    // The button's bottom plus the 8-DIP margin must fit in the 150-DIP viewport.
    EXPECT_FLOAT_EQ(view.targetOffset, 400 + 32 + 8 - 150);
}

TEST_F(WindowInputTest, DestroyingTheFocusedWidgetForgetsIt) {
    auto& button = stack->Add<Button>(Literal(L"Gone"));
    Layout();
    Click(button);
    ASSERT_EQ(window.FocusedWidget(), &button);
    stack->RemoveChild(&button);
    EXPECT_EQ(window.FocusedWidget(), nullptr);
    Send(WM_MOUSEMOVE, 0, At({30, 60}));
    Key(VK_RETURN);
}

TEST_F(WindowInputTest, InfoBarCloseButtonHidesTheBarThenReports) {
    auto& bar = stack->Add<InfoBar>(InfoBarKind::Warning, Literal(L"Title"), Literal(L"Text"));
    stack->SetItem(&bar, {kSizeAuto, 0, true, kAlignStretch});
    bool visibleWhenReported = true;
    int closed = 0;
    bar.onClose = [&] {
        ++closed;
        visibleWhenReported = bar.visible;
    };
    bar.SetClosable();
    Layout();
    ASSERT_NE(bar.closeButton, nullptr);
    Click(*bar.closeButton);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(visibleWhenReported);
    EXPECT_FALSE(bar.visible);
}

TEST_F(WindowInputTest, CaptionButtonMaximisesAndRestores) {
    ShowWindow(window.NativeHandle(), SW_SHOWNORMAL);
    auto pressMaximise = [&] {
        Send(WM_NCLBUTTONDOWN, HTMAXBUTTON, 0);
        Send(WM_NCLBUTTONUP, HTMAXBUTTON, 0);
        MSG msg;
        while (PeekMessageW(&msg, window.NativeHandle(), 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        }
    };
    pressMaximise();
    EXPECT_TRUE(IsZoomed(window.NativeHandle()));
    pressMaximise();
    EXPECT_FALSE(IsZoomed(window.NativeHandle()));
    // A press that ends on another caption button does nothing.
    Send(WM_NCLBUTTONDOWN, HTMAXBUTTON, 0);
    Send(WM_NCLBUTTONUP, HTMINBUTTON, 0);
    MSG msg;
    while (PeekMessageW(&msg, window.NativeHandle(), 0, 0, PM_REMOVE)) {
        DispatchMessageW(&msg);
    }
    EXPECT_FALSE(IsZoomed(window.NativeHandle()));
    EXPECT_FALSE(IsIconic(window.NativeHandle()));
}

}  // namespace
}  // namespace purvex::ui
