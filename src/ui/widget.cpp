#include "ui/widget.h"

#include <algorithm>

#include "ui/widget_host.h"

namespace purvex::ui {

Widget::~Widget() {
    if (WidgetHost* h = Host()) {
        h->OnWidgetDestroyed(this);
    }
    // Children go first while this widget still links them to the host.
    while (!children.empty()) {
        children.pop_back();
    }
}

Size Widget::Measure(float) {
    return {};
}
void Widget::Arrange() {}
bool Widget::IsFocusable(int) const {
    return false;
}
void Widget::Paint(RenderContext&) {}
bool Widget::ClipsChildren() const {
    return false;
}

Widget* Widget::HitTest(Point point) {
    if (!visible || !bounds.Contains(point)) {
        return nullptr;
    }
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        Widget* child = it->get();
        if (!child->visible || !child->enabled) {
            continue;
        }
        if (Widget* hit = child->HitTest(point)) {
            return hit;
        }
    }
    return this;
}

bool Widget::OnMouseDown(const MouseEvent&) {
    return false;
}
bool Widget::OnMouseUp(const MouseEvent&) {
    return false;
}
bool Widget::OnMouseMove(const MouseEvent&) {
    return false;
}
bool Widget::OnDoubleClick(const MouseEvent&) {
    return false;
}
bool Widget::OnMouseWheel(float, Point) {
    return false;
}
void Widget::OnMouseEnter() {}
void Widget::OnMouseLeave() {}
bool Widget::OnKeyDown(const KeyEvent&) {
    return false;
}
bool Widget::OnChar(wchar_t) {
    return false;
}
void Widget::OnFocusChanged(bool) {}
HCURSOR Widget::Cursor() const {
    return nullptr;
}
std::wstring Widget::Tooltip() const {
    return {};
}

void Widget::OnLanguageChanged() {
    for (auto& child : children) {
        child->OnLanguageChanged();
    }
    RequestLayout();
}

void Widget::OnThemeChanged() {
    for (auto& child : children) {
        child->OnThemeChanged();
    }
    Invalidate();
}

void Widget::OnDpiChanged() {
    for (auto& child : children) {
        child->OnDpiChanged();
    }
    RequestLayout();
}

bool Widget::OnAnimationTick(double) {
    return false;
}

Widget* Widget::AddChild(std::unique_ptr<Widget> child) {
    if (!child) {
        return nullptr;
    }
    child->parent = this;
    child->host = nullptr;
    children.push_back(std::move(child));
    RequestLayout();
    return children.back().get();
}

std::unique_ptr<Widget> Widget::RemoveChild(Widget* child) {
    auto it = std::find_if(children.begin(), children.end(),
                           [child](const auto& c) { return c.get() == child; });
    if (it == children.end()) {
        return nullptr;
    }
    if (WidgetHost* h = Host()) {
        h->OnWidgetDestroyed(child);
    }
    std::unique_ptr<Widget> owned = std::move(*it);
    children.erase(it);
    owned->parent = nullptr;
    RequestLayout();
    return owned;
}

void Widget::SetVisible(bool value) {
    if (visible != value) {
        visible = value;
        RequestLayout();
    }
}

void Widget::SetEnabled(bool value) {
    if (enabled != value) {
        enabled = value;
        Invalidate();
    }
}

void Widget::Invalidate() {
    if (WidgetHost* h = Host()) {
        h->Invalidate();
    }
}

void Widget::RequestLayout() {
    if (WidgetHost* h = Host()) {
        h->RequestLayout();
    }
}

WidgetHost* Widget::Host() const {
    const Widget* w = this;
    while (w->parent != nullptr) {
        w = w->parent;
    }
    return w->host;
}

bool Widget::IsEffectivelyEnabled() const {
    for (const Widget* w = this; w != nullptr; w = w->parent) {
        if (!w->enabled) {
            return false;
        }
    }
    return true;
}

bool Widget::IsVisibleInTree() const {
    for (const Widget* w = this; w != nullptr; w = w->parent) {
        if (!w->visible) {
            return false;
        }
    }
    return true;
}

bool Widget::IsSelfOrAncestorOf(const Widget* other) const {
    for (const Widget* w = other; w != nullptr; w = w->parent) {
        if (w == this) {
            return true;
        }
    }
    return false;
}

void OffsetSubtree(Widget& widget, float dy) {
    widget.bounds.y += dy;
    for (auto& child : widget.children) {
        OffsetSubtree(*child, dy);
    }
}

}  // namespace purvex::ui
