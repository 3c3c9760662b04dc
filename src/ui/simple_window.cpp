#include "ui/simple_window.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "ui/graphics_factories.h"

namespace purvex::ui {

SimpleWindow::~SimpleWindow() {
    if (hwnd_ != nullptr) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool SimpleWindow::Create(const wchar_t* className, const std::wstring& title, float widthDip,
                          float heightDip, DrawFunction draw) {
    draw_ = std::move(draw);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &SimpleWindow::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(101));
    wc.lpszClassName = className;
    if (RegisterClassExW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }
    const UINT dpi = GetDpiForSystem();
    const float scale = dpi > 0 ? static_cast<float>(dpi) / 96.0f : 1.0f;
    RECT rect{0, 0, static_cast<LONG>(std::lround(widthDip * scale)),
              static_cast<LONG>(std::lround(heightDip * scale))};
    const DWORD style = WS_OVERLAPPEDWINDOW;
    AdjustWindowRectEx(&rect, style, FALSE, 0);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + std::max(0L, (work.right - work.left - width) / 2);
    const int y = work.top + std::max(0L, (work.bottom - work.top - height) / 2);
    hwnd_ = CreateWindowExW(0, className, title.c_str(), style, x, y, width, height, nullptr,
                            nullptr, instance, this);
    return hwnd_ != nullptr;
}

float SimpleWindow::Dpi() const {
    const UINT dpi = hwnd_ != nullptr ? GetDpiForWindow(hwnd_) : 0;
    return dpi > 0 ? static_cast<float>(dpi) : 96.0f;
}

D2D1_SIZE_F SimpleWindow::ClientSizeDip() const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    const float scale = Dpi() / 96.0f;
    return D2D1::SizeF(static_cast<float>(client.right - client.left) / scale,
                       static_cast<float>(client.bottom - client.top) / scale);
}

bool SimpleWindow::SaveScreenshot(const std::wstring& path, float scale) const {
    const D2D1_SIZE_F size = ClientSizeDip();
    return RenderToPng(path, size.width, size.height, scale, draw_);
}

int SimpleWindow::ShowAndRun(int showCommand) {
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

LRESULT CALLBACK SimpleWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<SimpleWindow*>(create->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<SimpleWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT SimpleWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            ValidateRect(hwnd_, nullptr);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            if (target_) {
                target_->Resize(D2D1::SizeU(LOWORD(lParam), HIWORD(lParam)));
            }
            return 0;
        case WM_DPICHANGED: {
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            target_.Reset();
            SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_DESTROY:
            target_.Reset();
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

void SimpleWindow::Paint() {
    if (!draw_) {
        return;
    }
    if (!target_) {
        RECT client{};
        GetClientRect(hwnd_, &client);
        const float dpi = Dpi();
        const D2D1_RENDER_TARGET_PROPERTIES properties = D2D1::RenderTargetProperties(
            D2D1_RENDER_TARGET_TYPE_DEFAULT, D2D1::PixelFormat(), dpi, dpi);
        const D2D1_HWND_RENDER_TARGET_PROPERTIES hwndProperties = D2D1::HwndRenderTargetProperties(
            hwnd_, D2D1::SizeU(static_cast<UINT32>(client.right - client.left),
                               static_cast<UINT32>(client.bottom - client.top)));
        ID2D1Factory* factory = D2DFactory();
        if (factory == nullptr ||
            FAILED(factory->CreateHwndRenderTarget(properties, hwndProperties, target_.Put()))) {
            return;
        }
    }
    target_->BeginDraw();
    draw_(*target_.Get(), ClientSizeDip());
    // A lost device is recreated on the next paint.
    if (target_->EndDraw() == static_cast<HRESULT>(D2DERR_RECREATE_TARGET)) {
        target_.Reset();
    }
}

}  // namespace purvex::ui
