#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "core/unique_handle.h"

namespace purvex::core::safety_detail {

// What an open handle says about its item; two handles denote the same item when volume
// serial and file id agree.
struct FileIdentity {
    std::uint64_t fileId = 0;
    std::uint64_t size = 0;
    std::uint64_t lastWriteTime = 0;  // FILETIME as 64 bits
    std::uint32_t attributes = 0;
    std::uint32_t volumeSerial = 0;
    std::uint32_t linkCount = 0;

    [[nodiscard]] bool IsFolder() const noexcept {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    [[nodiscard]] bool IsReparsePoint() const noexcept {
        return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    }
    [[nodiscard]] bool SameItem(const FileIdentity& other) const noexcept {
        return volumeSerial == other.volumeSerial && fileId == other.fileId;
    }
};

// Opens an item without following a link at its end, sharing read, write and delete.
UniqueFile OpenItem(const std::wstring& path, DWORD access, bool backupSemantics);

// False with the thread's last error set when the handle cannot be read.
bool ReadIdentity(HANDLE handle, FileIdentity& identity);

// Opens the item and proves it is still the one described by identity; error 1006
// (ERROR_FILE_INVALID) when it is another item.
UniqueFile OpenSameItem(const std::wstring& path, const FileIdentity& identity, DWORD access,
                        DWORD& error);

}  // namespace purvex::core::safety_detail
