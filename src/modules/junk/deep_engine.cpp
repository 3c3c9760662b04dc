#include "modules/junk/deep_engine.h"

#include <cwctype>

namespace purvex::junk {

wchar_t DeepScanDrive(std::wstring_view systemDrive) {
    if (systemDrive.size() < 2 || systemDrive[1] != L':') {
        return L'C';
    }
    const wchar_t letter = static_cast<wchar_t>(std::towupper(systemDrive[0]));
    return letter >= L'A' && letter <= L'Z' ? letter : L'C';
}

void ChooseDeepEngine(bool elevated, bool ntfs, bool forceWalk, DeepScanOptions& options) {
    options.useIndex = elevated && ntfs && !forceWalk;
    if (options.useIndex) {
        options.walkNotice = ScanNotice::None;
    } else if (forceWalk) {
        options.walkNotice = ScanNotice::Forced;
    } else if (!elevated) {
        options.walkNotice = ScanNotice::NotElevated;
    } else {
        options.walkNotice = ScanNotice::NotNtfs;
    }
}

}  // namespace purvex::junk
