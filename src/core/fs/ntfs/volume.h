#pragma once

#include <windows.h>

#include <string>

#include "core/fs/ntfs/block_device.h"
#include "core/unique_handle.h"

namespace purvex::core::ntfs {

// Positioned synchronous reads from a volume device or an image file of one.
class Volume final : public BlockDevice {
public:
    explicit Volume(UniqueFile handle) noexcept : handle_(std::move(handle)) {}

    // Opens for reading only, sharing read and write, as sequential access. `path` is used as
    // given: a device path such as "\\.\C:", or an image file already in long-path form.
    // On failure the handle is invalid and `error` holds the Windows error.
    static UniqueFile Open(const std::wstring& path, DWORD& error);

    // Splits reads into 4 MiB pieces; any failing piece fails the whole read.
    [[nodiscard]] bool Read(std::uint64_t offset, std::uint8_t* buffer,
                            std::uint64_t length) override;

private:
    UniqueFile handle_;
};

}  // namespace purvex::core::ntfs
