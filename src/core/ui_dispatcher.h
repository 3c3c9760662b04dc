#pragma once

#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>

namespace purvex::core {

// The way back to the UI thread: callbacks posted from any thread run there, in posting order,
// between window messages, through a hidden message-only window.
class UiDispatcher {
public:
    using Callback = std::function<void()>;

    static constexpr UINT kWakeMessage = WM_APP + 0x4C1;
    static constexpr wchar_t kClassName[] = L"Purvex.UiDispatcher";

    static UiDispatcher& Instance();

    // A private dispatcher for tests; the program uses Instance().
    UiDispatcher() = default;
    UiDispatcher(const UiDispatcher&) = delete;
    UiDispatcher& operator=(const UiDispatcher&) = delete;
    ~UiDispatcher();

    // On the UI thread, before the main window runs. Returns whether the dispatcher runs; when
    // the window cannot be made it stays stopped and every later Post is discarded.
    bool Start();
    // From any thread. Discarded while the dispatcher is not running.
    void Post(Callback callback);
    // After the task runner has been shut down: drops undelivered callbacks and removes the
    // window.
    void Stop();

    [[nodiscard]] bool Running() const;
    [[nodiscard]] DWORD UiThreadId() const noexcept { return uiThreadId_.load(); }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Drain();

    mutable std::mutex mutex_;
    std::deque<Callback> queue_;
    HWND window_ = nullptr;
    bool running_ = false;
    bool posted_ = false;  // a wake-up message is in flight
    std::atomic<DWORD> uiThreadId_{0};
};

}  // namespace purvex::core
