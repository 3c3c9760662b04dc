#pragma once

#include <cstdint>
#include <functional>

#include "core/cancel_token.h"
#include "core/fs/ntfs/block_device.h"
#include "core/fs/ntfs/mft_status.h"
#include "core/fs/ntfs/volume_geometry.h"
#include "core/progress.h"

namespace purvex::core::ntfs {

// One file or folder as the reader reports it. The name points into the reader's buffers and
// is valid only during the callback.
struct MftRecordView {
    std::uint64_t frn = 0;        // record number, sequence number in the top 16 bits
    std::uint64_t parentFrn = 0;  // from the chosen file name, same layout
    const char16_t* name = nullptr;
    std::uint64_t nameLength = 0;     // characters
    std::uint64_t dataSize = 0;       // unnamed stream; 0 for folders
    std::uint64_t allocatedSize = 0;  // compressed size when compressed or sparse
    std::uint64_t lastWriteTime = 0;  // FILETIME
    std::uint32_t attributes = 0;
};

using MftRecordCallback = std::function<bool(const MftRecordView&)>;

// Reads the master file table sequentially and reports every file and folder in use that has
// a name; the callback stops the read by returning false (the result is then Ok). Never
// throws: memory exhaustion is IoError, a callback that throws is BadFormat.
[[nodiscard]] MftStatus ReadMft(BlockDevice& device, const VolumeGeometry& geometry,
                                const MftRecordCallback& onRecord, CancelToken& cancel,
                                const ProgressCallback& progress);

// As above; `onSized` learns how many records the table holds before the first is reported,
// so that a consumer can size its storage once.
[[nodiscard]] MftStatus ReadMft(BlockDevice& device, const VolumeGeometry& geometry,
                                const std::function<void(std::uint64_t)>& onSized,
                                const MftRecordCallback& onRecord, CancelToken& cancel,
                                const ProgressCallback& progress);

}  // namespace purvex::core::ntfs
