#include "core/fs/directory.h"

#include <windows.h>

#include "core/fs/path_text.h"

namespace purvex::core {

bool DirectoryExists(const std::wstring& path) {
    if (path.empty()) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(ToLongPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateDirectoryTree(const std::wstring& path) {
    if (path.empty()) {
        return false;
    }
    if (DirectoryExists(path)) {
        return true;
    }
    const std::wstring parent = ParentPath(path);
    if (!parent.empty() && parent.size() < path.size() && !CreateDirectoryTree(parent)) {
        return false;
    }
    if (CreateDirectoryW(ToLongPath(path).c_str(), nullptr)) {
        return true;
    }
    return GetLastError() == ERROR_ALREADY_EXISTS && DirectoryExists(path);
}

}  // namespace purvex::core

namespace purvex::core {

std::wstring GetFullPath(const std::wstring& path) {
    if (path.empty()) {
        return {};
    }
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return {};
    }
    std::wstring buffer(needed, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), needed, buffer.data(), nullptr);
    if (written == 0 || written >= needed) {
        return {};
    }
    buffer.resize(written);
    return buffer;
}

}  // namespace purvex::core
