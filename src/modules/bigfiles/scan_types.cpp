#include "modules/bigfiles/scan_types.h"

#include "app/settings.h"
#include "core/fs/path_text.h"
#include "core/fs/paths.h"

namespace purvex::bigfiles {
namespace {

bool IsLoneDrive(std::wstring_view path) {
    return path.size() == 2 && path[1] == L':' &&
           ((path[0] >= L'a' && path[0] <= L'z') || (path[0] >= L'A' && path[0] <= L'Z'));
}

}  // namespace

ScanOptions DefaultScanOptions() {
    ScanOptions options;
    options.forceWalk = app::GetSettings().deepScanForceWalk;
    return options;
}

std::wstring NormalizeScanRoot(std::wstring_view path) {
    // "C:" alone would mean the current folder of drive C to Windows; as a scan root it means
    // the drive.
    std::wstring root =
        core::NormalizePath(IsLoneDrive(path) ? std::wstring(path) + L'\\' : std::wstring(path));
    root = core::WithoutTrailingSeparators(std::move(root));
    if (IsLoneDrive(root)) {
        root += L'\\';
    }
    return root;
}

}  // namespace purvex::bigfiles
