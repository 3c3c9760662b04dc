#include "core/safety/file_identity.h"

#include "core/fs/path_text.h"

namespace purvex::core::safety_detail {

UniqueFile OpenItem(const std::wstring& path, DWORD access, bool backupSemantics) {
    DWORD flags = FILE_FLAG_OPEN_REPARSE_POINT;
    if (backupSemantics) {
        flags |= FILE_FLAG_BACKUP_SEMANTICS;
    }
    return UniqueFile(CreateFileW(ToLongPath(path).c_str(), access,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, flags, nullptr));
}

bool ReadIdentity(HANDLE handle, FileIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) {
        return false;
    }
    identity.fileId = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    identity.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    identity.lastWriteTime =
        (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
        info.ftLastWriteTime.dwLowDateTime;
    identity.attributes = info.dwFileAttributes;
    identity.volumeSerial = info.dwVolumeSerialNumber;
    identity.linkCount = info.nNumberOfLinks;
    return true;
}

UniqueFile OpenSameItem(const std::wstring& path, const FileIdentity& identity, DWORD access,
                        DWORD& error) {
    UniqueFile file = OpenItem(path, access, true);
    if (!file) {
        error = GetLastError();
        return file;
    }
    FileIdentity now;
    if (!ReadIdentity(file.Get(), now)) {
        error = GetLastError();
        return UniqueFile();
    }
    if (!now.SameItem(identity)) {
        error = ERROR_FILE_INVALID;
        return UniqueFile();
    }
    error = 0;
    return file;
}

}  // namespace purvex::core::safety_detail
