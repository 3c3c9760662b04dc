#include "core/fs/volume_facts.h"

#include <windows.h>

namespace purvex::core {

bool IsNtfsDrive(wchar_t drive) {
    if (drive >= L'a' && drive <= L'z') {
        drive = static_cast<wchar_t>(drive - L'a' + L'A');
    }
    if (drive < L'A' || drive > L'Z') {
        return false;
    }
    const wchar_t root[4] = {drive, L':', L'\\', 0};
    wchar_t fileSystem[MAX_PATH + 1] = {};
    DWORD oldMode = 0;
    const bool modeSet = SetThreadErrorMode(SEM_FAILCRITICALERRORS, &oldMode) != FALSE;
    const BOOL ok = GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, fileSystem,
                                          MAX_PATH + 1);
    if (modeSet) {
        SetThreadErrorMode(oldMode, nullptr);
    }
    return ok && CompareStringOrdinal(fileSystem, -1, L"NTFS", 4, TRUE) == CSTR_EQUAL;
}

}  // namespace purvex::core
