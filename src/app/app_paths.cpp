#include "app/app_paths.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "core/com_ptr.h"
#include "core/fs/directory.h"
#include "core/fs/path_text.h"
#include "core/text.h"

namespace purvex::app {
namespace {

AppPaths& Storage() {
    static AppPaths paths;
    return paths;
}

std::wstring ExpandLocalAppDataVariable() {
    std::wstring expanded = core::ExpandEnvironment(L"%LOCALAPPDATA%");
    return expanded.find(L'%') == std::wstring::npos ? expanded : std::wstring();
}

}  // namespace

const AppPaths& GetAppPaths() {
    return Storage();
}

void SetAppPaths(AppPaths paths) {
    Storage() = std::move(paths);
}

std::wstring TrimTrailingSeparators(std::wstring path) {
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) {
        path.pop_back();
    }
    return path;
}

std::wstring FindLocalAppDataFolder() {
    std::wstring folder;
    core::CoTaskMem<wchar_t> known;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, known.Put())) &&
        known.Get() != nullptr) {
        folder = known.Get();
    }
    if (folder.empty()) {
        folder = ExpandLocalAppDataVariable();
    }
    return TrimTrailingSeparators(std::move(folder));
}

std::wstring FindProgramFolder() {
    constexpr DWORD kLimit = 32767;
    std::vector<wchar_t> buffer(260);
    DWORD length = 0;
    for (;;) {
        length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            break;
        }
        if (buffer.size() >= kLimit) {
            return {};
        }
        buffer.resize(std::min<std::size_t>(buffer.size() * 2, kLimit));
    }
    std::wstring file = core::StripLongPathPrefix(std::wstring_view(buffer.data(), length));
    const std::size_t slash = file.find_last_of(L"\\/");
    if (slash == std::wstring::npos) {
        return {};
    }
    file.resize(slash);
    return TrimTrailingSeparators(std::move(file));
}

AppPaths ChooseAppPaths(const std::wstring& programFolder, const std::wstring& localAppData) {
    AppPaths paths;
    paths.programFolder = programFolder;
    if (!programFolder.empty()) {
        const DWORD attributes = GetFileAttributesW(
            core::ToLongPath(core::JoinPath(programFolder, L"portable.ini")).c_str());
        paths.portable =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    }
    if (paths.portable || localAppData.empty()) {
        paths.dataFolder = programFolder;
    } else {
        paths.dataFolder = core::JoinPath(localAppData, L"Purvex");
    }
    if (!paths.dataFolder.empty()) {
        paths.logsFolder = core::JoinPath(paths.dataFolder, L"logs");
    }
    return paths;
}

void CreateAppFolders(const AppPaths& paths) {
    if (!paths.dataFolder.empty()) {
        core::CreateDirectoryTree(paths.dataFolder);
    }
    if (!paths.logsFolder.empty()) {
        core::CreateDirectoryTree(paths.logsFolder);
    }
}

}  // namespace purvex::app
