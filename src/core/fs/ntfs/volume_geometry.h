#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace purvex::core::ntfs {

struct VolumeGeometry {
    std::uint32_t bytesPerRecord = 1024;
    std::uint32_t bytesPerCluster = 4096;
    std::uint32_t bytesPerSector = 512;
    std::uint64_t mftStartLcn = 0;
    std::uint64_t mftValidDataLength = 0;
    // Clusters on the volume, so that runs pointing past its end are caught as malformed
    // rather than read; 0 when unknown.
    std::uint64_t totalClusters = 0;
};

// Record and sector sizes powers of two from 512 to 65536, the cluster size a power of two
// from the sector size to 4 MiB, a table that starts past cluster 0 and holds a record.
[[nodiscard]] bool IsPlausibleGeometry(const VolumeGeometry& g);

// The geometry an NTFS boot sector describes. The boot sector does not carry the table's
// valid data length, so the reader takes the data size of the table's own record 0.
[[nodiscard]] std::optional<VolumeGeometry> GeometryFromBootSector(
    std::span<const std::uint8_t> sector);

}  // namespace purvex::core::ntfs
