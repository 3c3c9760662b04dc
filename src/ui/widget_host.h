#pragma once

#include <windows.h>

#include <memory>

#include "ui/geometry.h"

namespace purvex::ui {

class Widget;

// Overlays stack above the root: dialogs take all input; popups close on an outside click.
enum class OverlayKind : unsigned char { Dialog = 0, Popup = 1 };

// What a widget tree needs from the window that hosts it. Implemented by Window.
class WidgetHost {
public:
    virtual ~WidgetHost() = default;

    [[nodiscard]] virtual HWND NativeHandle() const = 0;
    [[nodiscard]] virtual float Dpi() const = 0;
    virtual void Invalidate() = 0;
    virtual void RequestLayout() = 0;
    virtual void StartAnimation(Widget* widget) = 0;
    virtual void SetCapture(Widget* widget) = 0;
    virtual void ReleaseCapture() = 0;
    virtual void SetFocus(Widget* widget) = 0;
    [[nodiscard]] virtual Widget* FocusedWidget() const = 0;
    // Drops every reference to the widget and its descendants before they go away.
    virtual void OnWidgetDestroyed(Widget* widget) = 0;

    // Whether keyboard navigation made the focus ring visible.
    [[nodiscard]] virtual bool ShowsFocusIndicator() const = 0;
    // The client area in DIPs, title bar included.
    [[nodiscard]] virtual Size ClientSize() const = 0;
    // Opens an overlay at the given bounds (a dialog's are the whole client area); the window
    // owns it until CloseOverlay. Returns the overlay.
    virtual Widget* OpenOverlay(std::unique_ptr<Widget> overlay, OverlayKind kind,
                                const Rect& bounds) = 0;
    virtual void CloseOverlay(Widget* overlay) = 0;
};

}  // namespace purvex::ui
