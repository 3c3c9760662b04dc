#pragma once

#include <cstdint>

namespace purvex::core::ntfs {

// The reader sees a volume only through positioned reads, so that an image file or a buffer
// in memory serves as well as the volume device.
class BlockDevice {
public:
    virtual ~BlockDevice() = default;
    // True only when exactly length bytes were read.
    [[nodiscard]] virtual bool Read(std::uint64_t offset, std::uint8_t* buffer,
                                    std::uint64_t length) = 0;
};

}  // namespace purvex::core::ntfs
