#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/fs/ntfs/block_device.h"
#include "core/fs/ntfs/mft_reader.h"
#include "core/fs/ntfs/path_index.h"
#include "core/fs/ntfs/volume_geometry.h"

namespace purvex::core::ntfs {

#ifdef _WIN32
// Names are handed out as the platform's wide strings without conversion. Elsewhere (the
// native fuzzing build) a wider wchar_t simply holds one UTF-16 unit per character.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "the name pool holds UTF-16 as wchar_t");
#endif

class PathIndexImpl final : public PathIndex {
public:
    explicit PathIndexImpl(wchar_t driveLetter);

    // Sizes the entries for a table of that many records: one allocation, no copies.
    void Reserve(std::uint64_t records);
    // Stores one record; the record callback of the reader. Always true.
    bool AddRecord(const MftRecordView& view);
    // Shrinks the storage and builds the children index and the folder totals.
    void Finish();
    // Bytes held by the entries, the name pool and the children index.
    [[nodiscard]] std::uint64_t MemoryBytes() const noexcept;

    [[nodiscard]] wchar_t DriveLetter() const override { return driveLetter_; }
    [[nodiscard]] std::uint64_t EntryCount() const override { return entryCount_; }
    bool Get(std::uint64_t frn, IndexEntry& out) const override;
    [[nodiscard]] std::wstring FullPath(std::uint64_t frn) const override;
    [[nodiscard]] std::uint64_t TotalSize(std::uint64_t frn) const override;
    void ForEach(const IndexEntryCallback& fn) const override;
    void ForEachChild(std::uint64_t folderFrn, const IndexEntryCallback& fn) const override;

private:
    static constexpr std::uint32_t kNoParent = 0xFFFFFFFF;

    // Four-byte packing keeps an entry at 36 bytes instead of 40; the 64-bit fields are only
    // ever copied, never referenced.
#pragma pack(push, 4)
    struct Entry {
        std::uint64_t size = 0;  // after Finish: for folders the total of all files below
        std::uint64_t lastWriteTime = 0;
        std::uint32_t parentIndex = kNoParent;
        std::uint32_t nameOffset = 0;
        std::uint32_t attributes = 0;
        std::uint16_t sequence = 0;
        std::uint16_t parentSequence = 0;
        std::uint8_t nameLength = 0;
        bool used = false;
    };
#pragma pack(pop)
    static_assert(sizeof(Entry) == 36);

    [[nodiscard]] const Entry* Find(std::uint64_t frn) const noexcept;
    [[nodiscard]] bool IsFolder(const Entry& e) const noexcept {
        return (e.attributes & 0x10) != 0;
    }
    // A parent link that the children index, the totals and FullPath may follow.
    [[nodiscard]] bool HasUsableParent(std::uint32_t index) const noexcept;
    [[nodiscard]] IndexEntry MakeEntry(std::uint32_t index) const;
    // The pool offset of the name, stored once however many entries carry it.
    std::uint32_t InternName(const char16_t* name, std::uint8_t length);
    void GrowNameTable();
    std::vector<std::uint32_t> BuildChildren();
    void BuildTotals(const std::vector<std::uint32_t>& groupEnd);

    wchar_t driveLetter_;
    std::uint64_t entryCount_ = 0;
    std::vector<Entry> entries_;
    std::vector<wchar_t> names_;
    std::vector<std::uint32_t> children_;
    // While building: open addressing over the pool, each slot the offset + 1 and the length
    // in the top byte, 0 when empty. Freed by Finish.
    std::vector<std::uint64_t> nameTable_;
    std::size_t distinctNames_ = 0;
};

// Reads the table through `device` and builds the index: the part of PathIndex::Build that
// needs no platform. Null unless the status is Ok; `status` may be null.
std::unique_ptr<PathIndexImpl> BuildPathIndex(BlockDevice& device, const VolumeGeometry& geometry,
                                              wchar_t driveLetter, CancelToken& cancel,
                                              const ProgressCallback& progress, MftStatus* status);

}  // namespace purvex::core::ntfs
