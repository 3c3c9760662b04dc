#pragma once

#include <windows.h>

#include <d2d1.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/com_ptr.h"
#include "ui/widget.h"
#include "ui/widget_host.h"

namespace purvex::ui {

struct WindowOptions {
    std::wstring title;
    float width = 1000;  // initial client size, DIPs
    float height = 660;
    float minWidth = 820;
    float minHeight = 560;
    // A second start of the program looks for its first instance's window by class, so only
    // that window may use the main-window class; the gallery, screenshot runs and tests keep
    // this one.
    const wchar_t* className = L"Purvex.Window";
};

// The program's top-level window: its own title bar and caption buttons, one widget tree
// below it, overlays above it, all drawn with Direct2D at the window's DPI.
class Window final : public WidgetHost {
public:
    static constexpr float kTitleBarHeight = 40;
    static constexpr float kCaptionButtonWidth = 46;

    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    ~Window() override;

    // Creates the window hidden and centred on its monitor. False when the class or the window
    // cannot be created.
    bool Create(const WindowOptions& options);
    Widget* SetRoot(std::unique_ptr<Widget> root);
    [[nodiscard]] Widget* Root() const noexcept { return root_.get(); }
    // Asked on WM_CLOSE; the window is destroyed only when it returns true.
    void SetCloseHandler(std::function<bool()> handler);
    void SetTitle(const std::wstring& title);
    void SetClientSize(float width, float height);
    // Lays out and renders one frame at the scale into a PNG at the path.
    bool SaveScreenshot(const std::wstring& path, float scale);
    // Re-lays out every text after the UI language changed.
    void NotifyLanguageChanged();
    // Runs the layout pass now when one is pending (paint does this too).
    void LayoutIfNeeded();

    // WidgetHost
    [[nodiscard]] HWND NativeHandle() const override { return hwnd_; }
    [[nodiscard]] float Dpi() const override;
    void Invalidate() override;
    void RequestLayout() override;
    void StartAnimation(Widget* widget) override;
    void SetCapture(Widget* widget) override;
    void ReleaseCapture() override;
    void SetFocus(Widget* widget) override;
    [[nodiscard]] Widget* FocusedWidget() const override { return focus_; }
    void OnWidgetDestroyed(Widget* widget) override;
    [[nodiscard]] bool ShowsFocusIndicator() const override { return showFocusIndicator_; }
    [[nodiscard]] Size ClientSize() const override;
    Widget* OpenOverlay(std::unique_ptr<Widget> overlay, OverlayKind kind,
                        const Rect& bounds) override;
    void CloseOverlay(Widget* overlay) override;

private:
    struct Overlay {
        std::unique_ptr<Widget> widget;
        OverlayKind kind;
    };
    struct Tooltip {
        Widget* widget = nullptr;
        std::wstring text;
        Point position;
        bool visible = false;
    };

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Frame and caption (window.cpp)
    void ApplyWindowAttributes();
    LRESULT HitTestNonClient(LPARAM lParam);
    int CaptionButtonAt(Point dip) const;
    bool HandleCaptionMouse(UINT message, WPARAM wParam, LPARAM lParam);
    void OnThemeChanged();
    void CloseOverlaysOfKind(OverlayKind kind);

    // Input (window_input.cpp)
    [[nodiscard]] Point ToDip(LPARAM lParam) const;
    [[nodiscard]] Widget* ActiveLayer() const;
    [[nodiscard]] Widget* HitTestActive(Point point) const;
    void UpdateHover(Widget* hit);
    void OnMouseMove(Point point);
    void OnButtonDown(Point point, int button, bool doubleClick);
    void OnButtonUp(Point point, int button);
    void OnWheel(float notches, Point point);
    void OnKeyDown(const KeyEvent& event);
    void OnChar(wchar_t character);
    void MoveFocus(bool forward);
    void ScrollFocusIntoView();
    void OnAnimationTimer();
    void ShowTooltipNow();
    void HideTooltip();
    HCURSOR CursorForHover() const;

    // Rendering (window_paint.cpp)
    void Paint();
    void RenderFrame(ID2D1RenderTarget* target, Size client, bool screenshot);
    void PaintTitleBar(RenderContext& context, ID2D1RenderTarget* target, Size client);
    void PaintTooltip(RenderContext& context, Size client);
    void Layout(Size client);

    HWND hwnd_ = nullptr;
    WindowOptions options_;
    std::unique_ptr<Widget> root_;
    std::vector<Overlay> overlays_;
    core::ComPtr<ID2D1HwndRenderTarget> target_;
    core::ComPtr<ID2D1Bitmap> appIcon_;
    bool layoutDirty_ = true;
    bool inLayout_ = false;
    Size lastLayoutSize_;
    int captionHover_ = 0;  // 0 none, 1 minimise, 2 maximise, 3 close
    int captionPressed_ = 0;
    bool active_ = true;
    bool trackingMouse_ = false;
    Point lastMouse_{-1, -1};
    std::array<Widget*, 3> pressedWidgets_{};
    unsigned buttonsDown_ = 0;
    bool releasingCapture_ = false;
    Widget* capture_ = nullptr;
    Widget* focus_ = nullptr;
    bool showFocusIndicator_ = false;
    std::vector<Widget*> hoverChain_;  // innermost first
    Tooltip tooltip_;
    std::vector<Widget*> animating_;
    std::vector<Widget*> askedAgain_;
    bool animationTimer_ = false;
    int themeListener_ = 0;
    // Language listeners cannot be removed, so the one this window adds holds only a weak
    // link that expires with the window.
    std::shared_ptr<Window*> languageGuard_;
    std::function<bool()> closeHandler_;
};

// Runs the thread's message loop until WM_QUIT; returns its exit code.
int RunMessageLoop();

}  // namespace purvex::ui
