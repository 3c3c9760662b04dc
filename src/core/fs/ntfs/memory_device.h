#pragma once

#include <cstdint>
#include <cstring>
#include <span>

#include "core/fs/ntfs/block_device.h"

namespace purvex::core::ntfs {

// A volume image held in memory; reads outside it fail like reads past the end of a disk.
class MemoryDevice final : public BlockDevice {
public:
    explicit MemoryDevice(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    [[nodiscard]] bool Read(std::uint64_t offset, std::uint8_t* buffer,
                            std::uint64_t length) override {
        if (offset > bytes_.size() || length > bytes_.size() - offset) {
            return false;
        }
        if (length != 0) {
            std::memcpy(buffer, bytes_.data() + offset, static_cast<std::size_t>(length));
        }
        return true;
    }

private:
    std::span<const std::uint8_t> bytes_;
};

}  // namespace purvex::core::ntfs
