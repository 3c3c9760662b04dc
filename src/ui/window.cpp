#include "ui/window.h"

#include <dwmapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "app/localization.h"
#include "ui/system_theme.h"
#include "ui/theme.h"

namespace purvex::ui {
namespace {

constexpr UINT_PTR kAnimationTimer = 1;
constexpr UINT_PTR kTooltipTimer = 2;

// Attribute numbers of Windows 11 that older SDK headers lack.
constexpr DWORD kUseImmersiveDarkMode = 20;
constexpr DWORD kWindowCornerPreference = 33;
constexpr DWORD kSystemBackdropType = 38;

int FrameThickness(UINT dpi) {
    return GetSystemMetricsForDpi(SM_CXFRAME, dpi) + GetSystemMetricsForDpi(SM_CXPADDEDBORDER, dpi);
}

bool WindowIsMaximized(HWND hwnd) {
    return IsZoomed(hwnd) != FALSE;
}

}  // namespace

Window::~Window() {
    languageGuard_.reset();
    if (themeListener_ != 0) {
        Theme::Get().RemoveThemeListener(themeListener_);
    }
    // The tree reports its destruction back here, so it goes while the window is whole.
    overlays_.clear();
    root_.reset();
    if (hwnd_ != nullptr) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }
}

bool Window::Create(const WindowOptions& options) {
    options_ = options;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &Window::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(101));
    wc.hIconSm = wc.hIcon;
    wc.lpszClassName = options.className;
    if (RegisterClassExW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }
    const float scale = static_cast<float>(GetDpiForSystem()) / 96.0f;
    hwnd_ = CreateWindowExW(
        0, options.className, options.title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
        CW_USEDEFAULT, static_cast<int>(std::lround(options.width * scale)),
        static_cast<int>(std::lround(options.height * scale)), nullptr, nullptr, instance, this);
    if (hwnd_ == nullptr) {
        return false;
    }
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetClientSize(options.width, options.height);

    // Centre in the work area of the window's monitor; a window larger than the work area
    // keeps its left or top edge on it.
    RECT window{};
    GetWindowRect(hwnd_, &window);
    MONITORINFO monitor{sizeof(monitor)};
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (HMONITOR m = MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY);
        m != nullptr && GetMonitorInfoW(m, &monitor)) {
        work = monitor.rcWork;
    }
    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    const LONG x = work.left + std::max(0L, (work.right - work.left - width) / 2);
    const LONG y = work.top + std::max(0L, (work.bottom - work.top - height) / 2);
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    ApplyWindowAttributes();
    themeListener_ = Theme::Get().AddThemeListener([this] { OnThemeChanged(); });
    languageGuard_ = std::make_shared<Window*>(this);
    app::AddLanguageListener([guard = std::weak_ptr<Window*>(languageGuard_)] {
        if (auto self = guard.lock()) {
            (*self)->NotifyLanguageChanged();
        }
    });
    return true;
}

Widget* Window::SetRoot(std::unique_ptr<Widget> root) {
    root_ = std::move(root);
    if (root_) {
        root_->parent = nullptr;
        root_->host = this;
    }
    RequestLayout();
    return root_.get();
}

void Window::SetCloseHandler(std::function<bool()> handler) {
    closeHandler_ = std::move(handler);
}

void Window::SetTitle(const std::wstring& title) {
    options_.title = title;
    if (hwnd_ != nullptr) {
        SetWindowTextW(hwnd_, title.c_str());
    }
    Invalidate();
}

void Window::SetClientSize(float width, float height) {
    if (hwnd_ == nullptr) {
        return;
    }
    // The whole window is client area (see WM_NCCALCSIZE), so the window size is the client's.
    const float scale = Dpi() / 96.0f;
    SetWindowPos(hwnd_, nullptr, 0, 0, static_cast<int>(std::lround(width * scale)),
                 static_cast<int>(std::lround(height * scale)),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    layoutDirty_ = true;
}

float Window::Dpi() const {
    const UINT dpi = hwnd_ != nullptr ? GetDpiForWindow(hwnd_) : 0;
    return dpi > 0 ? static_cast<float>(dpi) : 96.0f;
}

Size Window::ClientSize() const {
    if (hwnd_ == nullptr) {
        return {};
    }
    RECT client{};
    GetClientRect(hwnd_, &client);
    const float scale = Dpi() / 96.0f;
    return {static_cast<float>(client.right - client.left) / scale,
            static_cast<float>(client.bottom - client.top) / scale};
}

void Window::Invalidate() {
    if (hwnd_ != nullptr) {
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

void Window::RequestLayout() {
    if (inLayout_) {
        return;
    }
    layoutDirty_ = true;
    Invalidate();
}

void Window::StartAnimation(Widget* widget) {
    if (widget == nullptr) {
        return;
    }
    if (std::find(animating_.begin(), animating_.end(), widget) == animating_.end()) {
        animating_.push_back(widget);
    }
    askedAgain_.push_back(widget);
    if (!animationTimer_ && hwnd_ != nullptr) {
        animationTimer_ = SetTimer(hwnd_, kAnimationTimer, 15, nullptr) != 0;
    }
}

void Window::SetCapture(Widget* widget) {
    capture_ = widget;
    if (hwnd_ != nullptr) {
        ::SetCapture(hwnd_);
    }
}

void Window::ReleaseCapture() {
    capture_ = nullptr;
    const bool anyPressed = std::any_of(pressedWidgets_.begin(), pressedWidgets_.end(),
                                        [](Widget* w) { return w != nullptr; });
    if (hwnd_ != nullptr && GetCapture() == hwnd_ && !anyPressed) {
        releasingCapture_ = true;
        ::ReleaseCapture();
        releasingCapture_ = false;
    }
}

void Window::OnWidgetDestroyed(Widget* widget) {
    if (widget == nullptr) {
        return;
    }
    auto gone = [widget](const Widget* w) { return w != nullptr && widget->IsSelfOrAncestorOf(w); };
    std::erase_if(hoverChain_, gone);
    for (Widget*& pressed : pressedWidgets_) {
        if (gone(pressed)) {
            pressed = nullptr;
        }
    }
    if (gone(capture_)) {
        capture_ = nullptr;
    }
    if (gone(focus_)) {
        focus_ = nullptr;
    }
    if (gone(tooltip_.widget)) {
        HideTooltip();
        tooltip_.widget = nullptr;
    }
    std::erase_if(animating_, gone);
    std::erase_if(askedAgain_, gone);
}

Widget* Window::OpenOverlay(std::unique_ptr<Widget> overlay, OverlayKind kind, const Rect& bounds) {
    if (!overlay) {
        return nullptr;
    }
    overlay->parent = nullptr;
    overlay->host = this;
    overlay->bounds = bounds;
    overlays_.push_back({std::move(overlay), kind});
    RequestLayout();
    return overlays_.back().widget.get();
}

void Window::CloseOverlay(Widget* overlay) {
    auto it = std::find_if(overlays_.begin(), overlays_.end(),
                           [overlay](const Overlay& o) { return o.widget.get() == overlay; });
    if (it == overlays_.end()) {
        return;
    }
    // Keep it alive until it is out of the list, so its destruction sees a consistent stack.
    std::unique_ptr<Widget> closing = std::move(it->widget);
    overlays_.erase(it);
    closing.reset();
    Invalidate();
}

void Window::CloseOverlaysOfKind(OverlayKind kind) {
    for (std::size_t i = overlays_.size(); i-- > 0;) {
        if (i < overlays_.size() && overlays_[i].kind == kind) {
            CloseOverlay(overlays_[i].widget.get());
        }
    }
}

void Window::NotifyLanguageChanged() {
    CloseOverlaysOfKind(OverlayKind::Popup);
    if (root_) {
        root_->OnLanguageChanged();
    }
    for (Overlay& o : overlays_) {
        o.widget->OnLanguageChanged();
    }
    layoutDirty_ = true;
    Invalidate();
}

void Window::OnThemeChanged() {
    ApplyWindowAttributes();
    if (root_) {
        root_->OnThemeChanged();
    }
    for (Overlay& o : overlays_) {
        o.widget->OnThemeChanged();
    }
    Invalidate();
}

void Window::ApplyWindowAttributes() {
    if (hwnd_ == nullptr) {
        return;
    }
    Theme& theme = Theme::Get();
    const BOOL dark = theme.IsDark() ? TRUE : FALSE;
    DwmSetWindowAttribute(hwnd_, kUseImmersiveDarkMode, &dark, sizeof(dark));
    const DWORD round = 2;
    DwmSetWindowAttribute(hwnd_, kWindowCornerPreference, &round, sizeof(round));
    const bool transparency = ReadTransparencyEnabled();
    const DWORD backdrop = transparency ? 3 : 1;
    const bool backdropSet =
        SUCCEEDED(DwmSetWindowAttribute(hwnd_, kSystemBackdropType, &backdrop, sizeof(backdrop)));
    // Trust the backdrop only when Windows reports it back: a transparent background over a
    // backdrop that is not drawn would show nothing at all.
    DWORD applied = 0;
    const bool confirmed =
        SUCCEEDED(DwmGetWindowAttribute(hwnd_, kSystemBackdropType, &applied, sizeof(applied))) &&
        applied == 3;
    BOOL composition = FALSE;
    const bool composited = SUCCEEDED(DwmIsCompositionEnabled(&composition)) && composition;
    const bool active = backdropSet && transparency && confirmed && composited;
    const MARGINS margins = active ? MARGINS{0, 0, 0, 32767} : MARGINS{0, 0, 1, 0};
    DwmExtendFrameIntoClientArea(hwnd_, &margins);
    theme.SetBackdropActive(active);
}

int Window::CaptionButtonAt(Point p) const {
    if (p.y < 0 || p.y >= kTitleBarHeight) {
        return 0;
    }
    const float width = ClientSize().width;
    if (p.x >= width - kCaptionButtonWidth) {
        return 3;
    }
    if (p.x >= width - 2 * kCaptionButtonWidth) {
        return 2;
    }
    if (p.x >= width - 3 * kCaptionButtonWidth) {
        return 1;
    }
    return 0;
}

LRESULT Window::HitTestNonClient(LPARAM lParam) {
    POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    POINT client = screen;
    ScreenToClient(hwnd_, &client);
    RECT rect{};
    GetClientRect(hwnd_, &rect);
    const UINT dpi = static_cast<UINT>(Dpi());
    const int border = FrameThickness(dpi);
    const bool maximized = WindowIsMaximized(hwnd_);
    if (!maximized) {
        const bool left = client.x < border;
        const bool right = client.x >= rect.right - border;
        const bool top = client.y < border;
        const bool bottom = client.y >= rect.bottom - border;
        if (top && left) {
            return HTTOPLEFT;
        }
        if (top && right) {
            return HTTOPRIGHT;
        }
        if (bottom && left) {
            return HTBOTTOMLEFT;
        }
        if (bottom && right) {
            return HTBOTTOMRIGHT;
        }
        if (left) {
            return HTLEFT;
        }
        if (right) {
            return HTRIGHT;
        }
        if (bottom) {
            return HTBOTTOM;
        }
    }
    const float scale = Dpi() / 96.0f;
    const Point dip{static_cast<float>(client.x) / scale, static_cast<float>(client.y) / scale};
    switch (CaptionButtonAt(dip)) {
        case 1:
            return HTMINBUTTON;
        case 2:
            return HTMAXBUTTON;
        case 3:
            return HTCLOSE;
        default:
            break;
    }
    if (!maximized && client.y < border) {
        return HTTOP;
    }
    if (dip.y >= 0 && dip.y < kTitleBarHeight) {
        return HTCAPTION;
    }
    return HTCLIENT;
}

bool Window::HandleCaptionMouse(UINT message, WPARAM wParam, LPARAM) {
    int button = 0;
    if (wParam == HTMINBUTTON) {
        button = 1;
    } else if (wParam == HTMAXBUTTON) {
        button = 2;
    } else if (wParam == HTCLOSE) {
        button = 3;
    }
    switch (message) {
        case WM_NCMOUSEMOVE:
            if (button != captionHover_) {
                captionHover_ = button;
                Invalidate();
            }
            if (!trackingMouse_) {
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE | TME_NONCLIENT, hwnd_, 0};
                TrackMouseEvent(&track);
            }
            return false;
        case WM_NCLBUTTONDOWN:
            if (button == 0) {
                return false;
            }
            captionPressed_ = button;
            Invalidate();
            return true;
        case WM_NCLBUTTONUP: {
            const int pressedButton = std::exchange(captionPressed_, 0);
            if (button == 0) {
                return false;
            }
            Invalidate();
            if (pressedButton == button) {
                const WPARAM command = button == 1                ? SC_MINIMIZE
                                       : button == 3              ? SC_CLOSE
                                       : WindowIsMaximized(hwnd_) ? SC_RESTORE
                                                                  : SC_MAXIMIZE;
                PostMessageW(hwnd_, WM_SYSCOMMAND, command, 0);
            }
            return true;
        }
        default:
            return false;
    }
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<Window*>(create->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCALCSIZE:
            if (wParam == TRUE && WindowIsMaximized(hwnd_)) {
                // A maximised window reaches past the monitor by its frame; keep the content
                // on the screen.
                auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
                const int inset = FrameThickness(static_cast<UINT>(Dpi()));
                params->rgrc[0].left += inset;
                params->rgrc[0].top += inset;
                params->rgrc[0].right -= inset;
                params->rgrc[0].bottom -= inset;
            }
            return 0;
        case WM_NCHITTEST:
            return HitTestNonClient(lParam);
        case WM_NCMOUSEMOVE:
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONUP:
            if (HandleCaptionMouse(message, wParam, lParam)) {
                return 0;
            }
            break;
        case WM_NCMOUSELEAVE:
            captionHover_ = 0;
            captionPressed_ = 0;
            Invalidate();
            break;
        case WM_NCACTIVATE:
            // The system would paint its own frame over ours.
            return TRUE;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            const float scale = Dpi() / 96.0f;
            info->ptMinTrackSize.x = static_cast<LONG>(std::lround(options_.minWidth * scale));
            info->ptMinTrackSize.y = static_cast<LONG>(std::lround(options_.minHeight * scale));
            if (!IsWindowVisible(hwnd_)) {
                // Screenshots may be taller than any screen.
                info->ptMaxTrackSize.x = 16000;
                info->ptMaxTrackSize.y = 16000;
            }
            return 0;
        }
        case WM_CLOSE:
            if (!closeHandler_ || closeHandler_()) {
                DestroyWindow(hwnd_);
            }
            return 0;
        case WM_DESTROY:
            KillTimer(hwnd_, kAnimationTimer);
            KillTimer(hwnd_, kTooltipTimer);
            animationTimer_ = false;
            target_.Reset();
            appIcon_.Reset();
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            return 0;
        case WM_SIZE:
            layoutDirty_ = true;
            CloseOverlaysOfKind(OverlayKind::Popup);
            HideTooltip();
            if (target_) {
                target_->Resize(D2D1::SizeU(LOWORD(lParam), HIWORD(lParam)));
            }
            if (wParam != SIZE_MINIMIZED) {
                InvalidateRect(hwnd_, nullptr, FALSE);
                UpdateWindow(hwnd_);
            }
            return 0;
        case WM_ACTIVATE:
            active_ = LOWORD(wParam) != WA_INACTIVE;
            if (!active_) {
                CloseOverlaysOfKind(OverlayKind::Popup);
                HideTooltip();
            }
            Invalidate();
            break;
        case WM_DPICHANGED: {
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            target_.Reset();
            appIcon_.Reset();
            SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            if (root_) {
                root_->OnDpiChanged();
            }
            for (Overlay& o : overlays_) {
                o.widget->OnDpiChanged();
            }
            layoutDirty_ = true;
            Invalidate();
            return 0;
        }
        case WM_SETTINGCHANGE:
            if (lParam != 0 &&
                lstrcmpW(reinterpret_cast<const wchar_t*>(lParam), L"ImmersiveColorSet") == 0) {
                Theme::Get().RefreshSystem();
                ApplyWindowAttributes();
            }
            break;
        case WM_THEMECHANGED:
        case WM_DWMCOLORIZATIONCOLORCHANGED:
            Theme::Get().RefreshSystem();
            break;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                SetCursor(CursorForHover());
                return TRUE;
            }
            break;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            Paint();
            ValidateRect(hwnd_, nullptr);
            return 0;
        case WM_TIMER:
            if (wParam == kAnimationTimer) {
                OnAnimationTimer();
            } else if (wParam == kTooltipTimer) {
                KillTimer(hwnd_, kTooltipTimer);
                ShowTooltipNow();
            }
            return 0;
        case WM_MOUSEMOVE:
            if (!trackingMouse_) {
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd_, 0};
                trackingMouse_ = TrackMouseEvent(&track) != FALSE;
            }
            if (captionHover_ != 0) {
                captionHover_ = 0;
                Invalidate();
            }
            OnMouseMove(ToDip(lParam));
            return 0;
        case WM_MOUSELEAVE:
            trackingMouse_ = false;
            lastMouse_ = {-1, -1};
            UpdateHover(nullptr);
            HideTooltip();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK: {
            const int button = (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK)   ? 0
                               : (message == WM_RBUTTONDOWN || message == WM_RBUTTONDBLCLK) ? 1
                                                                                            : 2;
            const bool dbl = message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK ||
                             message == WM_MBUTTONDBLCLK;
            OnButtonDown(ToDip(lParam), button, dbl);
            return 0;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            OnButtonUp(ToDip(lParam),
                       message == WM_LBUTTONUP ? 0 : (message == WM_RBUTTONUP ? 1 : 2));
            return 0;
        case WM_CAPTURECHANGED:
            if (!releasingCapture_ && reinterpret_cast<HWND>(lParam) != hwnd_) {
                // Another window took the mouse: nothing stays pressed here.
                for (Widget*& pressed : pressedWidgets_) {
                    if (pressed != nullptr) {
                        pressed->pressed = false;
                        pressed = nullptr;
                    }
                }
                capture_ = nullptr;
                buttonsDown_ = 0;
                Invalidate();
            }
            return 0;
        case WM_MOUSEWHEEL: {
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(hwnd_, &p);
            const float scale = Dpi() / 96.0f;
            OnWheel(static_cast<float>(GET_WHEEL_DELTA_WPARAM(wParam)) / 120.0f,
                    {static_cast<float>(p.x) / scale, static_cast<float>(p.y) / scale});
            return 0;
        }
        case WM_KEYDOWN:
            OnKeyDown({static_cast<unsigned>(wParam), GetKeyState(VK_CONTROL) < 0,
                       GetKeyState(VK_SHIFT) < 0, false});
            return 0;
        case WM_CHAR:
            OnChar(static_cast<wchar_t>(wParam));
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

int RunMessageLoop() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace purvex::ui
