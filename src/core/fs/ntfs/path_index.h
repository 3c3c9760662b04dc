#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/cancel_token.h"
#include "core/fs/ntfs/mft_status.h"
#include "core/progress.h"

namespace purvex::core {

// One file or folder of a built index. `name` points into the index and lives as long as it.
struct IndexEntry {
    std::uint64_t frn = 0;        // record number, sequence number in the top 16 bits
    std::uint64_t parentFrn = 0;  // same layout; 0 when the parent is not usable
    const wchar_t* name = nullptr;
    std::uint64_t nameLength = 0;     // at most 255
    std::uint64_t size = 0;           // data size; 0 for folders (see TotalSize)
    std::uint64_t lastWriteTime = 0;  // FILETIME
    std::uint32_t attributes = 0;
};

using IndexEntryCallback = std::function<bool(const IndexEntry&)>;

// Every file and folder of an NTFS volume as its master file table had them when the index
// was built. Immutable and safe to read from many threads. Record numbers are the low 48 bits
// of `frn`; the sequence number in the top 16 bits is ignored by every lookup.
class PathIndex {
public:
    virtual ~PathIndex() = default;

    [[nodiscard]] virtual wchar_t DriveLetter() const = 0;
    [[nodiscard]] virtual std::uint64_t EntryCount() const = 0;
    // False for an unknown or unused record.
    virtual bool Get(std::uint64_t frn, IndexEntry& out) const = 0;
    // "C:\dir\file"; empty when a link up to the root folder is missing or broken.
    [[nodiscard]] virtual std::wstring FullPath(std::uint64_t frn) const = 0;
    // A file's size, the total size of every file below a folder, 0 for unknown records.
    [[nodiscard]] virtual std::uint64_t TotalSize(std::uint64_t frn) const = 0;
    // In record-number order until fn returns false.
    virtual void ForEach(const IndexEntryCallback& fn) const = 0;
    virtual void ForEachChild(std::uint64_t folderFrn, const IndexEntryCallback& fn) const = 0;

    // Reads the master file table of the drive's volume; needs administrator rights. Null
    // unless the status is Ok; `status` may be null.
    static std::unique_ptr<PathIndex> Build(wchar_t drive, CancelToken& cancel,
                                            const ProgressCallback& progress, MftStatus* status);
};

}  // namespace purvex::core
