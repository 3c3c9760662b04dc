#include "core/fs/ntfs/fixup.h"

#include <cstring>

#include "core/fs/ntfs/on_disk.h"

namespace purvex::core::ntfs {

FixupResult ApplyFixups(std::span<std::uint8_t> record) {
    constexpr std::size_t kStride = 512;
    const std::size_t size = record.size();
    if (size < kMinRecordSize || size % kStride != 0 ||
        LoadLe<std::uint32_t>(record.data()) != kFileSignature) {
        return FixupResult::BadHeader;
    }
    const std::size_t offset = LoadLe<std::uint16_t>(record.data() + 4);
    const std::size_t count = LoadLe<std::uint16_t>(record.data() + 6);
    if (count != size / kStride + 1 || offset < 40 || offset % 2 != 0 || offset + 2 * count > 510) {
        return FixupResult::BadArray;
    }
    std::uint8_t usn[2];
    std::memcpy(usn, record.data() + offset, 2);
    const std::size_t strides = count - 1;
    for (std::size_t i = 0; i < strides; ++i) {
        if (std::memcmp(record.data() + kStride * i + 510, usn, 2) != 0) {
            return FixupResult::Torn;
        }
    }
    for (std::size_t i = 0; i < strides; ++i) {
        std::memcpy(record.data() + kStride * i + 510, record.data() + offset + 2 * (i + 1), 2);
    }
    return FixupResult::Ok;
}

}  // namespace purvex::core::ntfs
