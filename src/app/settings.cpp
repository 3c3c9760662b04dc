#include "app/settings.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <mutex>
#include <vector>

#include "app/app_paths.h"
#include "core/fs/final_path.h"
#include "core/fs/path_text.h"
#include "core/fs/paths.h"
#include "core/log.h"
#include "core/unique_handle.h"

namespace purvex::app {
namespace {

constexpr LONGLONG kMaxSettingsBytes = 4 * 1024 * 1024;

std::mutex& SettingsLock() {
    static std::mutex lock;
    return lock;
}

SettingsData& Current() {
    static SettingsData settings;
    return settings;
}

// Serialises whole saves, so that two writers never share the temporary file.
std::mutex& SaveLock() {
    static std::mutex lock;
    return lock;
}

DWORD LastErrorOr(DWORD fallback) {
    const DWORD error = GetLastError();
    return error != 0 ? error : fallback;
}

// The temporary file must be a plain file of ours, in the data folder itself: a link, a
// junction or a folder of that name must not receive the settings or be deleted.
bool IsOwnTemporaryFile(HANDLE file, const std::wstring& folder) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
        info.nNumberOfLinks != 1) {
        return false;
    }
    const std::wstring finalPath = core::FinalPathOfHandle(file);
    const std::wstring folderLong = core::LongPathName(folder);
    return !finalPath.empty() && !folderLong.empty() &&
           core::EqualsIgnoreCase(core::ParentPath(finalPath), folderLong);
}

bool RenameOver(HANDLE file, const std::wstring& target) {
    const std::wstring longTarget = core::ToLongPath(target);
    const std::size_t nameBytes = longTarget.size() * sizeof(wchar_t);
    std::vector<std::byte> storage(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(storage.data());
    info->ReplaceIfExists = TRUE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(nameBytes);
    std::copy(longTarget.begin(), longTarget.end(), info->FileName);
    return SetFileInformationByHandle(file, FileRenameInfo, info,
                                      static_cast<DWORD>(storage.size())) != FALSE;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(bytes.size() < (1u << 30) ? bytes.size() : 1u << 30);
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) {
            return false;
        }
        if (written != chunk) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace

SettingsData GetSettings() {
    std::lock_guard lock(SettingsLock());
    return Current();
}

void SetSettings(const SettingsData& settings) {
    std::lock_guard lock(SettingsLock());
    Current() = settings;
}

std::wstring SettingsPath() {
    const std::wstring& folder = GetAppPaths().dataFolder;
    return folder.empty() ? std::wstring() : core::JoinPath(folder, L"settings.ini");
}

bool ReadSettingsFile(const std::wstring& path, std::string& bytes) {
    bytes.clear();
    if (path.empty()) {
        return false;
    }
    core::UniqueFile file(CreateFileW(core::ToLongPath(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
        size.QuadPart > kMaxSettingsBytes) {
        return false;
    }
    std::string content(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!content.empty() &&
        !ReadFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr)) {
        return false;
    }
    content.resize(read);
    bytes = std::move(content);
    return true;
}

bool WriteSettingsFileAtomically(const std::wstring& folder, std::string_view bytes,
                                 const SaveInterruption& interrupt) {
    if (folder.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    const std::wstring target = core::JoinPath(folder, L"settings.ini");
    const std::wstring temporary = target + L".tmp";
    std::lock_guard lock(SaveLock());
    core::UniqueFile file(
        CreateFileW(core::ToLongPath(temporary).c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                    OPEN_ALWAYS, FILE_FLAG_OPEN_REPARSE_POINT | FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = LastErrorOr(ERROR_WRITE_FAULT);
        SetLastError(error);
        return false;
    }
    if (!IsOwnTemporaryFile(file.Get(), folder)) {
        file.Reset();
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    const auto proceed = [&interrupt](SaveStep step) {
        if (interrupt && !interrupt(step)) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        return true;
    };
    SetLastError(0);
    const bool saved = proceed(SaveStep::Opened) && SetEndOfFile(file.Get()) &&
                       WriteAll(file.Get(), bytes) && proceed(SaveStep::Written) &&
                       FlushFileBuffers(file.Get()) && proceed(SaveStep::Flushed) &&
                       RenameOver(file.Get(), target);
    if (saved) {
        return true;
    }
    const DWORD error = LastErrorOr(ERROR_WRITE_FAULT);
    // The half-written temporary file must not outlive the failed save.
    FILE_DISPOSITION_INFO dispose{};
    dispose.DeleteFile = TRUE;
    SetFileInformationByHandle(file.Get(), FileDispositionInfo, &dispose, sizeof(dispose));
    file.Reset();
    SetLastError(error);
    return false;
}

bool SaveSettings() {
    const std::wstring folder = GetAppPaths().dataFolder;
    if (folder.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    const std::string bytes = SerializeSettings(GetSettings());
    if (WriteSettingsFileAtomically(folder, bytes)) {
        return true;
    }
    const DWORD error = LastErrorOr(ERROR_WRITE_FAULT);
    core::LogWrite(core::LogLevel::Error, L"Saving settings failed (error " +
                                              std::to_wstring(error) + L"): " + SettingsPath());
    SetLastError(error);
    return false;
}

}  // namespace purvex::app
