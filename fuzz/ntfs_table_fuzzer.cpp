// libFuzzer entry for the whole table reader and the index built from it, natively
// (scripts/fuzz-ntfs.sh). An input is a small volume: a 16-byte header (record size code,
// cluster size code, then little-endian 32-bit values: table start cluster, valid data
// length, volume bytes past the table), then the table's bytes from its first record on.
// Every other byte of the volume reads as 0xFF, so that the table's bitmap, wherever record 0
// puts it, marks every record in use.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "core/fs/ntfs/block_device.h"
#include "core/fs/ntfs/path_index_impl.h"
#include "core/fs/ntfs/volume_geometry.h"

using namespace purvex::core;
using namespace purvex::core::ntfs;

namespace {

constexpr std::uint32_t kMaxTableOffset = 16u << 20;
constexpr std::uint32_t kMaxExtraBytes = 32u << 20;

class FuzzVolume final : public BlockDevice {
public:
    FuzzVolume(std::span<const std::uint8_t> table, std::uint64_t tableOffset,
               std::uint64_t volumeBytes)
        : table_(table), tableOffset_(tableOffset), volumeBytes_(volumeBytes) {}

    bool Read(std::uint64_t offset, std::uint8_t* buffer, std::uint64_t length) override {
        if (offset > volumeBytes_ || length > volumeBytes_ - offset) {
            return false;
        }
        std::memset(buffer, 0xFF, static_cast<std::size_t>(length));
        const std::uint64_t from = std::max(offset, tableOffset_);
        const std::uint64_t to = std::min(offset + length, tableOffset_ + table_.size());
        if (from < to) {
            std::memcpy(buffer + (from - offset), table_.data() + (from - tableOffset_),
                        static_cast<std::size_t>(to - from));
        }
        return true;
    }

private:
    std::span<const std::uint8_t> table_;
    std::uint64_t tableOffset_;
    std::uint64_t volumeBytes_;
};

std::uint32_t U32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof(v));
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 16) {
        return 0;
    }
    // The header picks among the sizes real volumes use and keeps the volume small: a record 0
    // may claim a table as large as the volume, and all of it is read.
    VolumeGeometry g;
    g.bytesPerSector = 512;
    g.bytesPerRecord = 1024u << (data[0] % 3);  // 1, 2 or 4 KiB
    g.bytesPerCluster = 512u << (data[1] % 8);  // 512 bytes to 64 KiB
    g.mftStartLcn =
        1 + U32(data + 2) % std::max<std::uint32_t>(1, kMaxTableOffset / g.bytesPerCluster);
    // 0 leaves the table's size to record 0, as a boot sector does.
    const std::uint32_t valid = U32(data + 6);
    g.mftValidDataLength = valid == 0 ? UINT64_MAX : valid;
    const std::uint64_t extraBytes = U32(data + 10) % kMaxExtraBytes;
    const std::span<const std::uint8_t> table(data + 16, size - 16);
    const std::uint64_t tableOffset = g.mftStartLcn * g.bytesPerCluster;
    const std::uint64_t volumeBytes = tableOffset + table.size() + extraBytes;
    g.totalClusters = (volumeBytes + g.bytesPerCluster - 1) / g.bytesPerCluster;
    if (!IsPlausibleGeometry(g)) {
        return 0;
    }

    FuzzVolume volume(table, tableOffset, g.totalClusters * g.bytesPerCluster);
    CancelToken cancel;
    MftStatus status = MftStatus::IoError;
    const auto index = BuildPathIndex(volume, g, L'C', cancel, nullptr, &status);
    if (index == nullptr) {
        return 0;
    }
    // Every lookup must end, whatever cycles the parent links form.
    std::uint64_t sink = 0;
    index->ForEach([&](const IndexEntry& e) {
        sink += index->FullPath(e.frn).size() + index->TotalSize(e.frn);
        index->ForEachChild(e.frn, [&](const IndexEntry& child) {
            sink += child.nameLength;
            return true;
        });
        return true;
    });
    volatile std::uint64_t keep = sink;
    (void)keep;
    return 0;
}
