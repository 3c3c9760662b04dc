#pragma once

#include "core/unique_handle.h"

namespace purvex::app {

inline constexpr wchar_t kSingleInstanceMutexName[] = L"Local\\Purvex.SingleInstance";
inline constexpr wchar_t kMainWindowClass[] = L"Purvex.MainWindow";

// The first instance owns the named mutex for its whole run.
class SingleInstance {
public:
    // Creates (or opens) the mutex. A mutex that cannot be created for another reason does
    // not stop the start: that run simply behaves as the first instance.
    static SingleInstance Acquire();

    [[nodiscard]] bool IsSecondInstance() const noexcept { return second_; }

private:
    core::UniqueHandle mutex_;
    bool second_ = false;
};

// Shows, restores and brings to the front the first instance's main window, also when it
// hides in the notification area. False when no such window exists.
bool ActivateFirstInstance();

}  // namespace purvex::app
