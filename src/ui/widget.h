#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/geometry.h"
#include "ui/input_events.h"

namespace purvex::ui {

class RenderContext;
class WidgetHost;

// A node of the window's widget tree. Parents own their children; bounds are in window DIPs.
class Widget {
public:
    Widget() = default;
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;
    virtual ~Widget();

    // Width-constrained: the height is never limited; kUnbounded means any width.
    virtual Size Measure(float availableWidth);
    // Positions the children; the parent has already set this widget's bounds.
    virtual void Arrange();
    virtual bool IsFocusable(int direction) const;
    virtual void Paint(RenderContext& context);
    virtual bool ClipsChildren() const;
    virtual Widget* HitTest(Point point);
    virtual bool OnMouseDown(const MouseEvent& event);
    virtual bool OnMouseUp(const MouseEvent& event);
    virtual bool OnMouseMove(const MouseEvent& event);
    virtual bool OnDoubleClick(const MouseEvent& event);
    virtual bool OnMouseWheel(float notches, Point point);
    virtual void OnMouseEnter();
    virtual void OnMouseLeave();
    virtual bool OnKeyDown(const KeyEvent& event);
    virtual bool OnChar(wchar_t character);
    virtual void OnFocusChanged(bool isFocused);
    virtual HCURSOR Cursor() const;
    virtual std::wstring Tooltip() const;
    virtual void OnLanguageChanged();
    virtual void OnThemeChanged();
    virtual void OnDpiChanged();
    // Returns whether the widget still animates.
    virtual bool OnAnimationTick(double nowMs);

    Widget* AddChild(std::unique_ptr<Widget> child);
    template <typename T, typename... Args>
    T& Add(Args&&... args) {
        auto child = std::make_unique<T>(std::forward<Args>(args)...);
        T& ref = *child;
        AddChild(std::move(child));
        return ref;
    }
    std::unique_ptr<Widget> RemoveChild(Widget* child);

    void SetVisible(bool value);
    void SetEnabled(bool value);
    void Invalidate();
    void RequestLayout();

    // The host of the tree this widget belongs to, or null while it is detached.
    [[nodiscard]] WidgetHost* Host() const;
    // This widget and all its ancestors are enabled.
    [[nodiscard]] bool IsEffectivelyEnabled() const;
    // This widget and all its ancestors are visible.
    [[nodiscard]] bool IsVisibleInTree() const;
    [[nodiscard]] bool IsSelfOrAncestorOf(const Widget* other) const;

    Widget* parent = nullptr;
    WidgetHost* host = nullptr;
    std::vector<std::unique_ptr<Widget>> children;
    Rect bounds;
    bool visible = true;
    bool enabled = true;
    bool pressed = false;
    bool hovered = false;
    bool focused = false;
};

// Moves a widget and its whole subtree by dy without laying it out again.
void OffsetSubtree(Widget& widget, float dy);

}  // namespace purvex::ui
