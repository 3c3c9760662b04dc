#include "core/fs/final_path.h"

#include <cstddef>
#include <vector>

#include "core/fs/path_text.h"

namespace purvex::core {
namespace {

// Some systems (Wine among them) refuse GetFinalPathNameByHandleW for paths longer than
// MAX_PATH. The handle's volume-relative name plus the drive of the volume with the same
// serial number is the same answer, and is right on Windows too.
std::wstring DriveOfHandleVolume(HANDLE handle) {
    DWORD serial = 0;
    if (!GetVolumeInformationByHandleW(handle, nullptr, 0, &serial, nullptr, nullptr, nullptr, 0)) {
        return {};
    }
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if ((drives & (1u << i)) == 0) {
            continue;
        }
        const wchar_t root[] = {static_cast<wchar_t>(L'A' + i), L':', L'\\', L'\0'};
        DWORD driveSerial = 0;
        if (GetVolumeInformationW(root, nullptr, 0, &driveSerial, nullptr, nullptr, nullptr, 0) &&
            driveSerial == serial) {
            return std::wstring(root, 2);
        }
    }
    return {};
}

std::wstring PathFromFileNameInfo(HANDLE handle) {
    constexpr std::size_t kMaxNameChars = 32768;
    std::vector<std::byte> storage(sizeof(FILE_NAME_INFO) + kMaxNameChars * sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_NAME_INFO*>(storage.data());
    if (!GetFileInformationByHandleEx(handle, FileNameInfo, info,
                                      static_cast<DWORD>(storage.size()))) {
        return {};
    }
    const std::wstring name(info->FileName, info->FileNameLength / sizeof(wchar_t));
    if (name.empty() || name.front() != L'\\') {
        return {};
    }
    const std::wstring drive = DriveOfHandleVolume(handle);
    return drive.empty() ? std::wstring() : drive + name;
}

}  // namespace

std::wstring FinalPathOfHandle(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::wstring buffer(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD length =
            GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) {
            break;
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return StripLongPathPrefix(buffer);
        }
        buffer.assign(length + 1, L'\0');
    }
    return PathFromFileNameInfo(handle);
}

namespace {

std::wstring CallGetLongPathName(const std::wstring& path) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD length =
            GetLongPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return StripLongPathPrefix(buffer);
        }
        buffer.assign(length + 1, L'\0');
    }
    return {};
}

}  // namespace

std::wstring LongPathName(const std::wstring& path) {
    if (path.empty()) {
        return {};
    }
    std::wstring result = CallGetLongPathName(ToLongPath(path));
    // Some systems (Wine among them) hand a prefixed path back unexpanded, even one that does
    // not exist; the plain form then gives the real answer. Where the plain form is too long
    // for the system, the failure lets the caller expand a shorter prefix instead of keeping
    // short names that would escape every comparison.
    if (result == path && path.find(L'~') != std::wstring::npos) {
        return CallGetLongPathName(path);
    }
    return result;
}

}  // namespace purvex::core
