#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/fs/ntfs/block_device.h"
#include "core/fs/ntfs/volume_geometry.h"

namespace purvex::test {

// The images made by scripts/make-ntfs-images.sh, and ntfs-3g's listing of each.
std::wstring NtfsImagePath(const std::string& name);  // "mixed-4k" → Z:\…\mixed-4k.img
std::vector<std::uint8_t> LoadNtfsImage(const std::string& name);

struct ListedRecord {
    bool folder = false;
    std::uint64_t size = 0;
    std::set<std::wstring> paths;  // every name ntfs-3g shows for the record, "\"-separated
};
// By record number; paths relative to the root folder.
std::map<std::uint64_t, ListedRecord> LoadNtfsListing(const std::string& name);

std::optional<core::ntfs::VolumeGeometry> ReadGeometry(core::ntfs::BlockDevice& device);

// Byte offset of a table record inside an image, through record 0's data runs.
std::uint64_t RecordOffset(const std::vector<std::uint8_t>& image,
                           const core::ntfs::VolumeGeometry& g, std::uint64_t record);
// Offset inside a record of its first attribute of `type` (after fix-ups; the attribute
// headers never straddle a stride end in these images), or 0.
std::size_t AttributeOffset(const std::vector<std::uint8_t>& image,
                            const core::ntfs::VolumeGeometry& g, std::uint64_t record,
                            std::uint32_t type);

}  // namespace purvex::test
