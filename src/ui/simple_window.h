#pragma once

#include <windows.h>

#include <d2d1.h>

#include <string>

#include "core/com_ptr.h"
#include "ui/png_export.h"

namespace purvex::ui {

// A top-level window whose whole client area is painted by one Direct2D draw function.
class SimpleWindow {
public:
    SimpleWindow() = default;
    SimpleWindow(const SimpleWindow&) = delete;
    SimpleWindow& operator=(const SimpleWindow&) = delete;
    ~SimpleWindow();

    // Creates the window hidden, with a client area of the given size in DIPs, centred on the
    // primary monitor's work area. False when the class or the window cannot be created.
    bool Create(const wchar_t* className, const std::wstring& title, float widthDip,
                float heightDip, DrawFunction draw);

    [[nodiscard]] HWND Handle() const noexcept { return hwnd_; }
    [[nodiscard]] D2D1_SIZE_F ClientSizeDip() const;
    // Renders the current client area into a PNG at the given scale.
    bool SaveScreenshot(const std::wstring& path, float scale) const;
    // Shows the window and runs the thread's message loop; returns the code it ended with.
    int ShowAndRun(int showCommand);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    float Dpi() const;

    HWND hwnd_ = nullptr;
    DrawFunction draw_;
    core::ComPtr<ID2D1HwndRenderTarget> target_;
};

}  // namespace purvex::ui
