#include "app/single_instance.h"

namespace purvex::app {

SingleInstance SingleInstance::Acquire() {
    SingleInstance instance;
    instance.mutex_.Reset(CreateMutexW(nullptr, TRUE, kSingleInstanceMutexName));
    instance.second_ = instance.mutex_.Valid() && GetLastError() == ERROR_ALREADY_EXISTS;
    return instance;
}

bool ActivateFirstInstance() {
    HWND window = FindWindowW(kMainWindowClass, nullptr);
    if (window == nullptr) {
        return false;
    }
    if (!IsWindowVisible(window)) {
        ShowWindow(window, SW_SHOW);
    }
    if (IsIconic(window)) {
        ShowWindow(window, SW_RESTORE);
    }
    SetForegroundWindow(window);
    return true;
}

}  // namespace purvex::app
