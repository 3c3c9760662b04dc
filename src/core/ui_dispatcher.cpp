#include "core/ui_dispatcher.h"

#include <exception>
#include <string>
#include <utility>

#include "core/log.h"
#include "core/text.h"

namespace purvex::core {

UiDispatcher& UiDispatcher::Instance() {
    static UiDispatcher instance;
    return instance;
}

UiDispatcher::~UiDispatcher() {
    Stop();
}

bool UiDispatcher::Start() {
    std::lock_guard lock(mutex_);
    if (running_) {
        return true;
    }
    const HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &UiDispatcher::WindowProc;
    wc.hInstance = module;
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }
    HWND window =
        CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, nullptr);
    if (!window) {
        return false;
    }
    // Several dispatchers may share the class; each window finds its own through this.
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    window_ = window;
    running_ = true;
    posted_ = false;
    uiThreadId_.store(GetCurrentThreadId());
    return true;
}

bool UiDispatcher::Running() const {
    std::lock_guard lock(mutex_);
    return running_;
}

void UiDispatcher::Post(Callback callback) {
    if (!callback) {
        return;
    }
    HWND wake = nullptr;
    {
        std::unique_lock lock(mutex_);
        if (!running_) {
            lock.unlock();
            return;  // the callback is destroyed here, outside the lock
        }
        queue_.push_back(std::move(callback));
        if (!posted_) {
            posted_ = true;
            wake = window_;
        }
    }
    if (wake && !PostMessageW(wake, kWakeMessage, 0, 0)) {
        // The callback stays queued and runs with the next wake-up that gets through.
        std::lock_guard lock(mutex_);
        posted_ = false;
    }
}

void UiDispatcher::Drain() {
    {
        std::lock_guard lock(mutex_);
        posted_ = false;
    }
    for (;;) {
        Callback callback;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty()) {
                return;
            }
            callback = std::move(queue_.front());
            queue_.pop_front();
        }
        try {
            callback();
        } catch (const std::exception& e) {
            LogWrite(LogLevel::Error, L"UiDispatcher: callback threw: " + Utf8ToWide(e.what()));
        } catch (...) {
            LogWrite(LogLevel::Error, L"UiDispatcher: callback threw a non-standard exception");
        }
    }
}

LRESULT CALLBACK UiDispatcher::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kWakeMessage) {
        auto* self = reinterpret_cast<UiDispatcher*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self) {
            self->Drain();
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void UiDispatcher::Stop() {
    std::deque<Callback> dropped;
    HWND window = nullptr;
    {
        std::lock_guard lock(mutex_);
        if (!running_) {
            return;
        }
        running_ = false;
        posted_ = false;
        dropped.swap(queue_);
        window = std::exchange(window_, nullptr);
    }
    if (window) {
        // A wake-up still queued for the window must not reach a dispatcher that may be gone.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (uiThreadId_.load() == GetCurrentThreadId()) {
            DestroyWindow(window);
        } else {
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
    }
    // The dropped callbacks are destroyed here without running.
}

}  // namespace purvex::core
