#include "core/fs/ntfs/volume_geometry.h"

#include <bit>
#include <cstring>

#include "core/fs/ntfs/on_disk.h"

namespace purvex::core::ntfs {

bool IsPlausibleGeometry(const VolumeGeometry& g) {
    auto powerOfTwoIn = [](std::uint64_t v, std::uint64_t lo, std::uint64_t hi) {
        return std::has_single_bit(v) && v >= lo && v <= hi;
    };
    return powerOfTwoIn(g.bytesPerRecord, 512, 65536) &&
           powerOfTwoIn(g.bytesPerSector, 512, 65536) &&
           powerOfTwoIn(g.bytesPerCluster, g.bytesPerSector, 4u << 20) && g.mftStartLcn != 0 &&
           g.mftValidDataLength >= g.bytesPerRecord;
}

std::optional<VolumeGeometry> GeometryFromBootSector(std::span<const std::uint8_t> sector) {
    if (sector.size() < 512 || std::memcmp(sector.data() + 3, "NTFS    ", 8) != 0) {
        return std::nullopt;
    }
    VolumeGeometry g;
    g.bytesPerSector = LoadLe<std::uint16_t>(sector.data() + 0x0B);
    // Cluster sizes above 64 KiB are written as a negative power of two.
    const std::uint8_t spc = sector[0x0D];
    const std::uint64_t sectorsPerCluster =
        spc <= 0x80 ? spc : (spc >= 0xF4 ? std::uint64_t{1} << (256 - spc) : 0);
    const std::uint64_t cluster = sectorsPerCluster * g.bytesPerSector;
    if (cluster == 0 || cluster > (4u << 20)) {
        return std::nullopt;
    }
    g.bytesPerCluster = static_cast<std::uint32_t>(cluster);
    const std::uint64_t totalSectors = LoadLe<std::uint64_t>(sector.data() + 0x28);
    g.totalClusters = totalSectors / sectorsPerCluster;
    g.mftStartLcn = LoadLe<std::uint64_t>(sector.data() + 0x30);
    const auto perRecord = static_cast<std::int8_t>(sector[0x40]);
    if (perRecord > 0) {
        const std::uint64_t record = std::uint64_t{static_cast<std::uint8_t>(perRecord)} * cluster;
        if (record > 65536) {
            return std::nullopt;
        }
        g.bytesPerRecord = static_cast<std::uint32_t>(record);
    } else if (perRecord >= -31) {
        g.bytesPerRecord = std::uint32_t{1} << (-perRecord);
    } else {
        return std::nullopt;
    }
    g.mftValidDataLength = UINT64_MAX;
    if (!IsPlausibleGeometry(g)) {
        return std::nullopt;
    }
    return g;
}

}  // namespace purvex::core::ntfs
