#include "modules/bigfiles/windows_folder.h"

#include <windows.h>

#include "core/fs/path_text.h"

namespace purvex::bigfiles {

const std::wstring& SystemWindowsFolder() {
    // A function-local static is initialised once even when several workers classify at the
    // same moment.
    static const std::wstring folder = [] {
        wchar_t buffer[MAX_PATH] = {};
        const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) {
            return std::wstring(L"C:\\Windows");
        }
        return core::WithoutTrailingSeparators(std::wstring(buffer, length));
    }();
    return folder;
}

}  // namespace purvex::bigfiles
