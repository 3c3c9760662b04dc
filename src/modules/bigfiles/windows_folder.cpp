#include "modules/bigfiles/windows_folder.h"

#include <windows.h>

namespace purvex::bigfiles {

std::wstring TrimTrailingSeparators(std::wstring folder) {
    while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) {
        folder.pop_back();
    }
    return folder;
}

const std::wstring& SystemWindowsFolder() {
    // A function-local static is initialised once even when several workers classify at the
    // same moment.
    static const std::wstring folder = [] {
        wchar_t buffer[MAX_PATH] = {};
        const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) {
            return std::wstring(L"C:\\Windows");
        }
        return TrimTrailingSeparators(std::wstring(buffer, length));
    }();
    return folder;
}

}  // namespace purvex::bigfiles
