// Routing of mouse, wheel and keyboard input into the widget tree.
#include <windowsx.h>

#include <algorithm>

#include "ui/animated_float.h"
#include "ui/scroll_view.h"
#include "ui/text_measure.h"
#include "ui/window.h"

namespace purvex::ui {
namespace {

constexpr UINT_PTR kAnimationTimer = 1;
constexpr UINT_PTR kTooltipTimer = 2;

void CollectFocusable(Widget* w, int direction, std::vector<Widget*>& out) {
    if (!w->visible || !w->enabled) {
        return;
    }
    if (w->IsFocusable(direction)) {
        out.push_back(w);
    }
    for (auto& child : w->children) {
        CollectFocusable(child.get(), direction, out);
    }
}

Widget* LayerRootOf(Widget* w) {
    while (w != nullptr && w->parent != nullptr) {
        w = w->parent;
    }
    return w;
}

}  // namespace

Point Window::ToDip(LPARAM lParam) const {
    const float scale = Dpi() / 96.0f;
    return {static_cast<float>(GET_X_LPARAM(lParam)) / scale,
            static_cast<float>(GET_Y_LPARAM(lParam)) / scale};
}

Widget* Window::ActiveLayer() const {
    if (!overlays_.empty()) {
        return overlays_.back().widget.get();
    }
    return root_.get();
}

Widget* Window::HitTestActive(Point point) const {
    Widget* layer = ActiveLayer();
    if (layer == nullptr) {
        return nullptr;
    }
    if (layer == root_.get() && point.y < kTitleBarHeight) {
        return nullptr;
    }
    return layer->HitTest(point);
}

void Window::UpdateHover(Widget* hit) {
    std::vector<Widget*> chain;
    for (Widget* w = hit; w != nullptr; w = w->parent) {
        chain.push_back(w);
    }
    if (chain == hoverChain_) {
        return;
    }
    const std::vector<Widget*> old = std::move(hoverChain_);
    hoverChain_ = chain;
    for (Widget* w : old) {
        if (std::find(chain.begin(), chain.end(), w) == chain.end()) {
            w->hovered = false;
            w->OnMouseLeave();
        }
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (std::find(old.begin(), old.end(), *it) == old.end()) {
            (*it)->hovered = true;
            (*it)->OnMouseEnter();
        }
    }
    if (hwnd_ != nullptr) {
        SetTimer(hwnd_, kTooltipTimer, 500, nullptr);
    }
}

void Window::OnMouseMove(Point point) {
    const bool moved = point.x != lastMouse_.x || point.y != lastMouse_.y;
    lastMouse_ = point;
    Widget* hit = HitTestActive(point);
    UpdateHover(hit);
    if (moved && tooltip_.visible) {
        HideTooltip();
    }
    const MouseEvent event{point, 0, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0};
    Widget* target = capture_ != nullptr ? capture_ : pressedWidgets_[0];
    if (target == nullptr) {
        target = pressedWidgets_[1] != nullptr ? pressedWidgets_[1] : pressedWidgets_[2];
    }
    if (target == nullptr) {
        target = hit;
    }
    if (target != nullptr) {
        target->OnMouseMove(event);
    }
}

void Window::OnButtonDown(Point point, int button, bool doubleClick) {
    if (hwnd_ != nullptr && GetCapture() != hwnd_) {
        ::SetCapture(hwnd_);
    }
    buttonsDown_ |= 1u << button;
    lastMouse_ = point;
    HideTooltip();
    showFocusIndicator_ = false;
    if (!overlays_.empty() && overlays_.back().kind == OverlayKind::Popup &&
        !overlays_.back().widget->bounds.Contains(point)) {
        CloseOverlay(overlays_.back().widget.get());
        return;
    }
    Widget* hit = HitTestActive(point);
    UpdateHover(hit);
    const MouseEvent event{point, button, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0};
    if (doubleClick) {
        for (Widget* w = hit; w != nullptr; w = w->parent) {
            if (w->OnDoubleClick(event)) {
                break;
            }
        }
        // A handler may have removed the widget under the mouse.
        hit = HitTestActive(point);
    }
    for (Widget* w = hit; w != nullptr; w = w->parent) {
        if (w->OnMouseDown(event)) {
            pressedWidgets_[button] = w;
            if (button == 0) {
                w->pressed = true;
                w->Invalidate();
            }
            break;
        }
    }
    Widget* focusTarget = nullptr;
    for (Widget* w = hit; w != nullptr; w = w->parent) {
        if (w->IsEffectivelyEnabled() && w->IsFocusable(0)) {
            focusTarget = w;
            break;
        }
    }
    SetFocus(focusTarget);
    Invalidate();
}

void Window::OnButtonUp(Point point, int button) {
    lastMouse_ = point;
    const MouseEvent event{point, button, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0};
    Widget* pressed = pressedWidgets_[button];
    Widget* target = capture_ != nullptr ? capture_ : pressed;
    if (target == nullptr) {
        target = HitTestActive(point);
    }
    if (target != nullptr) {
        target->OnMouseUp(event);
    }
    // The handler may have destroyed the pressed widget; the slot was cleared then.
    if (Widget* still = pressedWidgets_[button]) {
        still->pressed = false;
        still->Invalidate();
        pressedWidgets_[button] = nullptr;
    }
    buttonsDown_ &= ~(1u << button);
    if (buttonsDown_ == 0 && hwnd_ != nullptr && GetCapture() == hwnd_ && capture_ == nullptr) {
        releasingCapture_ = true;
        ::ReleaseCapture();
        releasingCapture_ = false;
    }
    Invalidate();
}

void Window::OnWheel(float notches, Point point) {
    HideTooltip();
    for (Widget* w = HitTestActive(point); w != nullptr; w = w->parent) {
        if (w->OnMouseWheel(notches, point)) {
            break;
        }
    }
}

void Window::OnKeyDown(const KeyEvent& event) {
    HideTooltip();
    if (event.virtualKey == VK_TAB && !event.ctrl) {
        MoveFocus(!event.shift);
        showFocusIndicator_ = true;
        Invalidate();
        return;
    }
    switch (event.virtualKey) {
        case VK_PRIOR:
        case VK_NEXT:
        case VK_END:
        case VK_HOME:
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
            if (focus_ != nullptr) {
                showFocusIndicator_ = true;
                Invalidate();
            }
            break;
        default:
            break;
    }
    Widget* layer = ActiveLayer();
    Widget* target = focus_ != nullptr && LayerRootOf(focus_) == layer ? focus_ : layer;
    for (Widget* w = target; w != nullptr; w = w->parent) {
        if (w->OnKeyDown(event)) {
            return;
        }
    }
    if (!overlays_.empty() && overlays_.back().kind == OverlayKind::Popup &&
        event.virtualKey == VK_ESCAPE) {
        CloseOverlay(overlays_.back().widget.get());
    }
}

void Window::OnChar(wchar_t character) {
    if (character < 32 || focus_ == nullptr || LayerRootOf(focus_) != ActiveLayer()) {
        return;
    }
    focus_->OnChar(character);
}

void Window::MoveFocus(bool forward) {
    Widget* layer = ActiveLayer();
    if (layer == nullptr) {
        return;
    }
    std::vector<Widget*> candidates;
    CollectFocusable(layer, forward ? 1 : -1, candidates);
    if (candidates.empty()) {
        return;
    }
    auto it = std::find(candidates.begin(), candidates.end(), focus_);
    Widget* next = nullptr;
    if (it == candidates.end()) {
        next = forward ? candidates.front() : candidates.back();
    } else if (forward) {
        next = std::next(it) == candidates.end() ? candidates.front() : *std::next(it);
    } else {
        next = it == candidates.begin() ? candidates.back() : *std::prev(it);
    }
    SetFocus(next);
}

void Window::SetFocus(Widget* widget) {
    if (widget == focus_) {
        return;
    }
    Widget* old = focus_;
    focus_ = widget;
    if (old != nullptr) {
        old->focused = false;
        old->OnFocusChanged(false);
        old->Invalidate();
    }
    if (widget != nullptr) {
        widget->focused = true;
        widget->OnFocusChanged(true);
        widget->Invalidate();
        ScrollFocusIntoView();
    }
}

void Window::ScrollFocusIntoView() {
    if (focus_ == nullptr) {
        return;
    }
    for (Widget* w = focus_->parent; w != nullptr; w = w->parent) {
        if (auto* view = dynamic_cast<ScrollView*>(w)) {
            view->EnsureVisible(focus_->bounds, 8);
        }
    }
}

void Window::OnAnimationTimer() {
    const double now = NowMs();
    const std::vector<Widget*> ticking = animating_;
    askedAgain_.clear();
    for (Widget* w : ticking) {
        // An earlier tick may have destroyed this widget.
        if (std::find(animating_.begin(), animating_.end(), w) == animating_.end()) {
            continue;
        }
        if (!w->OnAnimationTick(now) &&
            std::find(askedAgain_.begin(), askedAgain_.end(), w) == askedAgain_.end()) {
            std::erase(animating_, w);
        }
    }
    askedAgain_.clear();
    if (animating_.empty() && animationTimer_) {
        KillTimer(hwnd_, kAnimationTimer);
        animationTimer_ = false;
    }
    Invalidate();
    if (buttonsDown_ == 0 && lastMouse_.x >= 0) {
        UpdateHover(HitTestActive(lastMouse_));
    }
}

void Window::ShowTooltipNow() {
    if (buttonsDown_ != 0) {
        return;
    }
    for (Widget* w : hoverChain_) {
        std::wstring text = w->Tooltip();
        if (!text.empty()) {
            tooltip_ = {w, std::move(text), lastMouse_, true};
            Invalidate();
            return;
        }
    }
}

void Window::HideTooltip() {
    if (hwnd_ != nullptr) {
        KillTimer(hwnd_, kTooltipTimer);
    }
    if (tooltip_.visible) {
        tooltip_.visible = false;
        Invalidate();
    }
}

HCURSOR Window::CursorForHover() const {
    for (Widget* w : hoverChain_) {
        if (HCURSOR cursor = w->Cursor()) {
            return cursor;
        }
    }
    return LoadCursorW(nullptr, IDC_ARROW);
}

}  // namespace purvex::ui
