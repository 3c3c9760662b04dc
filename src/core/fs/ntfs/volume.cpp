#include "core/fs/ntfs/volume.h"

#include <algorithm>

namespace purvex::core::ntfs {

UniqueFile Volume::Open(const std::wstring& path, DWORD& error) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    error = file ? ERROR_SUCCESS : GetLastError();
    return file;
}

bool Volume::Read(std::uint64_t offset, std::uint8_t* buffer, std::uint64_t length) {
    constexpr std::uint64_t kPiece = 4u << 20;
    while (length > 0) {
        const auto piece = static_cast<DWORD>(std::min(length, kPiece));
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD got = 0;
        if (!ReadFile(handle_.Get(), buffer, piece, &got, &at) || got != piece) {
            return false;
        }
        offset += piece;
        buffer += piece;
        length -= piece;
    }
    return true;
}

}  // namespace purvex::core::ntfs
