#include "core/fs/ntfs/mft_reader.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/fs/ntfs/fixup.h"
#include "core/fs/ntfs/mft_record.h"
#include "core/fs/ntfs/on_disk.h"
#include "core/fs/ntfs/run_list.h"

namespace purvex::core::ntfs {
namespace {

constexpr std::uint64_t kChunkBytes = 4u << 20;
constexpr std::uint64_t kMaxAttributeListBytes = 256u << 20;
constexpr std::uint64_t kRecordsPerCheck = 1024;
constexpr std::uint64_t kFirstUserRecord = 16;
constexpr std::uint32_t kClearedAttributes = 0x10 | 0x10000000 | 0x20000000;
constexpr std::uint32_t kDirectoryAttribute = 0x10;

// What extension records contribute to their base record, gathered until the end of the read.
struct Pending {
    int rank = 0;
    std::uint64_t parent = 0;
    std::u16string name;
    bool hasData = false;
    std::uint64_t dataSize = 0;
    std::uint64_t allocatedSize = 0;
};

// A base record with an attribute list whose name or size may still be in an extension.
struct Deferred {
    MftRecordView view;
    std::u16string name;
    int rank = 0;
    bool hasData = false;
    bool isDirectory = false;
};

bool MulFits(std::uint64_t a, std::uint64_t b, std::uint64_t& out) {
    if (a != 0 && b > UINT64_MAX / a) {
        return false;
    }
    out = a * b;
    return true;
}

class Reader {
public:
    Reader(BlockDevice& device, const VolumeGeometry& g,
           const std::function<void(std::uint64_t)>& onSized, const MftRecordCallback& onRecord,
           CancelToken& cancel, const ProgressCallback& progress)
        : device_(device),
          g_(g),
          onSized_(onSized),
          onRecord_(onRecord),
          cancel_(cancel),
          throttle_(progress),
          recordSize_(g.bytesPerRecord),
          cluster_(g.bytesPerCluster),
          sector_(g.bytesPerSector) {}

    MftStatus Run();

private:
    enum class Step { Continue, Stop };

    MftStatus ReadRecordZero();
    MftStatus CollectTableAttributes(std::span<const std::uint8_t> record, bool followList);
    MftStatus ReadExtensionsOfRecordZero();
    MftStatus CheckDataExtents();
    MftStatus ReadBitmap();
    MftStatus ReadRecords();
    Step ProcessRecord(std::uint64_t index, std::span<std::uint8_t> record);
    Step Emit(const MftRecordView& view, const std::u16string& name);
    Step FinishDeferred();

    bool ReadAligned(std::uint64_t offset, std::uint8_t* out, std::uint64_t length);
    MftStatus ReadStream(const std::vector<Extent>& runs, std::uint64_t size,
                         std::vector<std::uint8_t>& out);
    MftStatus ReadTableBytes(std::uint64_t pos, std::uint8_t* out, std::uint64_t length);
    bool ExtentsInsideVolume(const std::vector<Extent>& runs) const;
    bool InUse(std::uint64_t index) const {
        const std::uint64_t byte = index / 8;
        return byte >= bitmap_.size() || (bitmap_[byte] >> (index % 8) & 1) != 0;
    }
    void ReportProgress(bool force);

    BlockDevice& device_;
    const VolumeGeometry& g_;
    const std::function<void(std::uint64_t)>& onSized_;
    const MftRecordCallback& onRecord_;
    CancelToken& cancel_;
    ProgressThrottle throttle_;
    const std::uint64_t recordSize_;
    const std::uint64_t cluster_;
    const std::uint64_t sector_;

    std::vector<Extent> dataRuns_;
    bool sawData_ = false;
    std::uint64_t dataSize_ = 0;
    std::vector<Extent> bitmapRuns_;
    bool bitmapResident_ = false;
    bool sawBitmap_ = false;
    std::uint64_t bitmapSize_ = 0;
    std::vector<std::uint8_t> bitmap_;
    std::vector<std::uint8_t> attributeList_;

    std::uint64_t total_ = 0;
    std::uint64_t recordCount_ = 0;
    std::uint64_t recordsDone_ = 0;
    std::vector<std::uint8_t> scratch_;
    std::u16string nameBuffer_;
    std::unordered_map<std::uint64_t, Pending> pending_;
    std::vector<Deferred> deferred_;
};

void Reader::ReportProgress(bool force) {
    Progress p;
    p.fraction =
        recordCount_ == 0
            ? 1.0
            : std::min(1.0, static_cast<double>(recordsDone_) / static_cast<double>(recordCount_));
    p.current = L"$MFT";
    p.bytes = recordsDone_ * recordSize_;
    p.items = recordsDone_;
    throttle_.Report(p, force);
}

// Volume devices accept only whole sectors at sector offsets.
bool Reader::ReadAligned(std::uint64_t offset, std::uint8_t* out, std::uint64_t length) {
    const std::uint64_t start = offset / sector_ * sector_;
    const std::uint64_t head = offset - start;
    if (offset > UINT64_MAX - sector_ || length > UINT64_MAX - sector_ - offset) {
        return false;
    }
    const std::uint64_t span = (head + length + sector_ - 1) / sector_ * sector_;
    if (head == 0 && span == length) {
        return device_.Read(offset, out, length);
    }
    scratch_.resize(static_cast<std::size_t>(span));
    if (!device_.Read(start, scratch_.data(), span)) {
        return false;
    }
    std::memcpy(out, scratch_.data() + head, static_cast<std::size_t>(length));
    return true;
}

bool Reader::ExtentsInsideVolume(const std::vector<Extent>& runs) const {
    for (const Extent& e : runs) {
        if (e.sparse) {
            continue;
        }
        std::uint64_t end = 0;
        if (e.lcn > UINT64_MAX - e.clusters || !MulFits(e.lcn + e.clusters, cluster_, end)) {
            return false;
        }
        if (g_.totalClusters != 0 && e.lcn + e.clusters > g_.totalClusters) {
            return false;
        }
    }
    return true;
}

// Reads the first `size` bytes of a non-resident stream; sparse and unmapped parts read as zero.
MftStatus Reader::ReadStream(const std::vector<Extent>& runs, std::uint64_t size,
                             std::vector<std::uint8_t>& out) {
    out.assign(static_cast<std::size_t>(size), 0);
    for (const Extent& e : runs) {
        std::uint64_t start = 0;
        if (e.sparse || !MulFits(e.vcn, cluster_, start) || start >= size) {
            continue;
        }
        const std::uint64_t maxClusters = (size - start + cluster_ - 1) / cluster_;
        const std::uint64_t clusters = std::min(e.clusters, maxClusters);
        const std::uint64_t length = std::min(clusters * cluster_, size - start);
        if (!ReadAligned(e.lcn * cluster_, out.data() + start, length)) {
            return MftStatus::IoError;
        }
    }
    return MftStatus::Ok;
}

// Reads bytes of the table itself through the data runs known so far, which may still be
// unsorted while the extension records of record 0 are being found.
MftStatus Reader::ReadTableBytes(std::uint64_t pos, std::uint8_t* out, std::uint64_t length) {
    while (length > 0) {
        const std::uint64_t vcn = pos / cluster_;
        const Extent* hit = nullptr;
        for (const Extent& e : dataRuns_) {
            if (!e.sparse && vcn >= e.vcn && vcn - e.vcn < e.clusters) {
                hit = &e;
                break;
            }
        }
        if (hit == nullptr) {
            return MftStatus::BadFormat;
        }
        const std::uint64_t within = pos - hit->vcn * cluster_;
        const std::uint64_t piece = std::min(length, hit->clusters * cluster_ - within);
        if (!ReadAligned(hit->lcn * cluster_ + within, out, piece)) {
            return MftStatus::IoError;
        }
        pos += piece;
        out += piece;
        length -= piece;
    }
    return MftStatus::Ok;
}

MftStatus Reader::CollectTableAttributes(std::span<const std::uint8_t> record, bool followList) {
    AttributeWalker walker(record);
    Attribute a;
    while (walker.Next(a)) {
        if (a.nameLength != 0) {
            continue;
        }
        if (a.type == kAttrData) {
            if (!a.nonResident || !DecodeRunList(a.runList, a.startVcn, dataRuns_)) {
                return MftStatus::BadFormat;
            }
            if (a.startVcn == 0) {
                sawData_ = true;
                dataSize_ = a.dataSize;
            }
        } else if (a.type == kAttrBitmap) {
            if (!a.nonResident) {
                bitmapResident_ = true;
                sawBitmap_ = true;
                bitmap_.assign(a.value.begin(), a.value.end());
            } else {
                if (!DecodeRunList(a.runList, a.startVcn, bitmapRuns_)) {
                    return MftStatus::BadFormat;
                }
                if (a.startVcn == 0) {
                    sawBitmap_ = true;
                    bitmapSize_ = a.dataSize;
                }
            }
        } else if (a.type == kAttrAttributeList && followList) {
            if (!a.nonResident) {
                attributeList_.assign(a.value.begin(), a.value.end());
            } else {
                std::vector<Extent> runs;
                if (a.dataSize > kMaxAttributeListBytes ||
                    !DecodeRunList(a.runList, a.startVcn, runs) || !ExtentsInsideVolume(runs)) {
                    return MftStatus::BadFormat;
                }
                if (MftStatus s = ReadStream(runs, a.dataSize, attributeList_);
                    s != MftStatus::Ok) {
                    return s;
                }
            }
        }
    }
    return walker.Malformed() ? MftStatus::BadFormat : MftStatus::Ok;
}

MftStatus Reader::ReadRecordZero() {
    std::uint64_t offset = 0;
    if (!MulFits(g_.mftStartLcn, cluster_, offset)) {
        return MftStatus::BadFormat;
    }
    std::vector<std::uint8_t> record(static_cast<std::size_t>(recordSize_));
    if (!ReadAligned(offset, record.data(), recordSize_)) {
        return MftStatus::IoError;
    }
    if (ApplyFixups(record) != FixupResult::Ok || !HasValidRecordHeader(record)) {
        return MftStatus::BadFormat;
    }
    if (MftStatus s = CollectTableAttributes(record, true); s != MftStatus::Ok) {
        return s;
    }
    if (!ExtentsInsideVolume(dataRuns_)) {
        return MftStatus::BadFormat;
    }
    return ReadExtensionsOfRecordZero();
}

// The table's own runs may continue in extension records named by record 0's attribute list.
MftStatus Reader::ReadExtensionsOfRecordZero() {
    std::vector<std::uint64_t> extensions;
    std::size_t pos = 0;
    const std::size_t size = attributeList_.size();
    while (size - pos >= kMinAttributeListEntry) {
        const auto entry = LoadPrefix<AttributeListEntry>(attributeList_.data() + pos, size - pos);
        if (entry.type == 0 || entry.type == kAttrEnd) {
            break;
        }
        if (entry.length < kMinAttributeListEntry || entry.length > size - pos) {
            return MftStatus::BadFormat;
        }
        const std::uint64_t recordNumber = entry.reference & kRecordNumberMask;
        if ((entry.type == kAttrData || entry.type == kAttrBitmap) && entry.nameLength == 0 &&
            recordNumber != 0 &&
            std::find(extensions.begin(), extensions.end(), recordNumber) == extensions.end()) {
            extensions.push_back(recordNumber);
        }
        pos += entry.length;
    }
    std::vector<std::uint8_t> record(static_cast<std::size_t>(recordSize_));
    for (std::uint64_t number : extensions) {
        std::uint64_t at = 0;
        if (!MulFits(number, recordSize_, at)) {
            return MftStatus::BadFormat;
        }
        if (MftStatus s = ReadTableBytes(at, record.data(), recordSize_); s != MftStatus::Ok) {
            return s;
        }
        if (ApplyFixups(record) != FixupResult::Ok || !HasValidRecordHeader(record)) {
            return MftStatus::BadFormat;
        }
        if (MftStatus s = CollectTableAttributes(record, false); s != MftStatus::Ok) {
            return s;
        }
        if (!ExtentsInsideVolume(dataRuns_)) {
            return MftStatus::BadFormat;
        }
    }
    return MftStatus::Ok;
}

MftStatus Reader::CheckDataExtents() {
    if (!sawData_ || dataRuns_.empty()) {
        return MftStatus::BadFormat;
    }
    std::sort(dataRuns_.begin(), dataRuns_.end(),
              [](const Extent& a, const Extent& b) { return a.vcn < b.vcn; });
    std::uint64_t next = 0;
    for (const Extent& e : dataRuns_) {
        if (e.vcn != next || e.sparse) {
            return MftStatus::BadFormat;
        }
        next = e.vcn + e.clusters;
    }
    std::uint64_t covered = 0;
    if (!MulFits(next, cluster_, covered)) {
        covered = UINT64_MAX;
    }
    total_ = std::min(g_.mftValidDataLength, dataSize_) / recordSize_ * recordSize_;
    if (covered < total_) {
        return MftStatus::BadFormat;
    }
    recordCount_ = total_ / recordSize_;
    return MftStatus::Ok;
}

MftStatus Reader::ReadBitmap() {
    if (!sawBitmap_ || bitmapResident_) {
        return MftStatus::Ok;
    }
    if (!ExtentsInsideVolume(bitmapRuns_)) {
        return MftStatus::BadFormat;
    }
    // Bits past the records of the table are never looked at.
    const std::uint64_t needed = std::min(bitmapSize_, (recordCount_ + 7) / 8);
    return ReadStream(bitmapRuns_, needed, bitmap_);
}

Reader::Step Reader::Emit(const MftRecordView& view, const std::u16string& name) {
    MftRecordView v = view;
    v.name = name.data();
    v.nameLength = name.size();
    return onRecord_(v) ? Step::Continue : Step::Stop;
}

Reader::Step Reader::ProcessRecord(std::uint64_t index, std::span<std::uint8_t> record) {
    if (!HasValidRecordHeader(record) || !IsRecordInUse(record) ||
        ApplyFixups(record) != FixupResult::Ok) {
        return Step::Continue;
    }
    const RecordSummary s = SummarizeRecord(record);
    if (s.malformed) {
        return Step::Continue;
    }
    nameBuffer_.resize(s.nameLength);
    if (s.nameLength != 0) {
        std::memcpy(nameBuffer_.data(), s.name.data(), s.name.size());
    }
    if (s.baseReference != 0) {
        Pending& p = pending_[s.baseReference & kRecordNumberMask];
        if (s.nameRank > p.rank) {
            p.rank = s.nameRank;
            p.parent = s.parentReference;
            p.name = nameBuffer_;
        }
        if (s.hasData && !p.hasData) {
            p.hasData = true;
            p.dataSize = s.dataSize;
            p.allocatedSize = s.dataResident ? 0 : s.allocatedSize;
        }
        return Step::Continue;
    }
    if (index < kFirstUserRecord && index != kRootRecord) {
        return Step::Continue;
    }
    const bool dir = s.IsDirectory();
    MftRecordView view;
    view.frn = index | std::uint64_t{s.sequence} << 48;
    view.parentFrn = index == kRootRecord ? view.frn : s.parentReference;
    view.dataSize = dir ? 0 : s.dataSize;
    view.allocatedSize = dir || s.dataResident ? 0 : s.allocatedSize;
    view.lastWriteTime = s.lastWriteTime;
    view.attributes = (s.attributes & ~kClearedAttributes) | (dir ? kDirectoryAttribute : 0);
    if (s.hasAttributeList && (s.nameRank <= 1 || (!dir && !s.hasData))) {
        deferred_.push_back(Deferred{view, nameBuffer_, s.nameRank, s.hasData, dir});
        return Step::Continue;
    }
    if (s.nameRank == 0) {
        return Step::Continue;
    }
    return Emit(view, nameBuffer_);
}

Reader::Step Reader::FinishDeferred() {
    for (Deferred& d : deferred_) {
        auto it = pending_.find(d.view.frn & kRecordNumberMask);
        if (it != pending_.end()) {
            const Pending& p = it->second;
            if (p.rank > d.rank) {
                d.rank = p.rank;
                d.name = p.name;
                if ((d.view.frn & kRecordNumberMask) != kRootRecord) {
                    d.view.parentFrn = p.parent;
                }
            }
            if (!d.hasData && p.hasData && !d.isDirectory) {
                d.view.dataSize = p.dataSize;
                d.view.allocatedSize = p.allocatedSize;
            }
        }
        if (d.rank == 0) {
            continue;
        }
        if (Emit(d.view, d.name) == Step::Stop) {
            return Step::Stop;
        }
    }
    return Step::Continue;
}

MftStatus Reader::ReadRecords() {
    // Fresh memory is costly to fault in, so a small table gets a small buffer, and the
    // buffer is not cleared: every byte used was read first.
    const std::uint64_t bufferSize =
        std::min(kChunkBytes, (total_ + sector_ - 1) / sector_ * sector_);
    auto buffer =
        std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(bufferSize));
    std::vector<std::uint8_t> carry(static_cast<std::size_t>(recordSize_));
    std::uint64_t carried = 0;  // bytes of a record begun in the previous chunk
    std::uint64_t carryIndex = 0;
    std::uint64_t nextCheck = kRecordsPerCheck;

    auto afterRecords = [&]() -> bool {
        if (recordsDone_ >= nextCheck) {
            nextCheck = (recordsDone_ / kRecordsPerCheck + 1) * kRecordsPerCheck;
            ReportProgress(false);
            return !cancel_.IsCancelled();
        }
        return true;
    };

    for (const Extent& e : dataRuns_) {
        if (e.vcn >= (total_ + cluster_ - 1) / cluster_) {
            break;
        }
        const std::uint64_t extentStart = e.vcn * cluster_;
        const std::uint64_t extentEnd =
            extentStart + std::min(e.clusters * cluster_, total_ - extentStart);
        std::uint64_t pos = extentStart;
        while (pos < extentEnd) {
            const std::uint64_t length = std::min(kChunkBytes, extentEnd - pos);
            const std::uint64_t firstIndex = pos / recordSize_;
            if (carried == 0 && pos % recordSize_ == 0 && length % recordSize_ == 0) {
                const std::uint64_t records = length / recordSize_;
                bool anyInUse = false;
                for (std::uint64_t i = 0; i < records && !anyInUse; ++i) {
                    anyInUse = InUse(firstIndex + i);
                }
                if (!anyInUse) {
                    recordsDone_ += records;
                    pos += length;
                    ReportProgress(false);
                    if (cancel_.IsCancelled()) {
                        return MftStatus::Cancelled;
                    }
                    continue;
                }
            }
            const std::uint64_t disk = (e.lcn * cluster_) + (pos - extentStart);
            const std::uint64_t readLength = (length + sector_ - 1) / sector_ * sector_;
            if (!device_.Read(disk, buffer.get(), readLength)) {
                return MftStatus::IoError;
            }
            std::uint64_t at = 0;
            if (carried != 0) {
                const std::uint64_t take = std::min(recordSize_ - carried, length);
                std::memcpy(carry.data() + carried, buffer.get(), static_cast<std::size_t>(take));
                carried += take;
                at = take;
                if (carried == recordSize_) {
                    carried = 0;
                    if (InUse(carryIndex) && ProcessRecord(carryIndex, carry) == Step::Stop) {
                        return MftStatus::Ok;
                    }
                    ++recordsDone_;
                    if (!afterRecords()) {
                        return MftStatus::Cancelled;
                    }
                }
            }
            while (length - at >= recordSize_) {
                const std::uint64_t index = (pos + at) / recordSize_;
                std::span<std::uint8_t> record(buffer.get() + at,
                                               static_cast<std::size_t>(recordSize_));
                if (InUse(index) && ProcessRecord(index, record) == Step::Stop) {
                    return MftStatus::Ok;
                }
                at += recordSize_;
                ++recordsDone_;
                if (!afterRecords()) {
                    return MftStatus::Cancelled;
                }
            }
            if (at < length) {
                carried = length - at;
                carryIndex = (pos + at) / recordSize_;
                std::memcpy(carry.data(), buffer.get() + at, static_cast<std::size_t>(carried));
            }
            pos += length;
        }
    }
    if (cancel_.IsCancelled()) {
        return MftStatus::Cancelled;
    }
    if (FinishDeferred() == Step::Stop) {
        return MftStatus::Ok;
    }
    ReportProgress(true);
    return MftStatus::Ok;
}

MftStatus Reader::Run() {
    if (cancel_.IsCancelled()) {
        return MftStatus::Cancelled;
    }
    if (!IsPlausibleGeometry(g_)) {
        return MftStatus::BadFormat;
    }
    if (MftStatus s = ReadRecordZero(); s != MftStatus::Ok) {
        return s;
    }
    if (MftStatus s = CheckDataExtents(); s != MftStatus::Ok) {
        return s;
    }
    if (MftStatus s = ReadBitmap(); s != MftStatus::Ok) {
        return s;
    }
    if (onSized_) {
        onSized_(recordCount_);
    }
    ReportProgress(false);
    return ReadRecords();
}

}  // namespace

MftStatus ReadMft(BlockDevice& device, const VolumeGeometry& geometry,
                  const MftRecordCallback& onRecord, CancelToken& cancel,
                  const ProgressCallback& progress) {
    return ReadMft(device, geometry, nullptr, onRecord, cancel, progress);
}

MftStatus ReadMft(BlockDevice& device, const VolumeGeometry& geometry,
                  const std::function<void(std::uint64_t)>& onSized,
                  const MftRecordCallback& onRecord, CancelToken& cancel,
                  const ProgressCallback& progress) {
    try {
        Reader reader(device, geometry, onSized, onRecord, cancel, progress);
        return reader.Run();
    } catch (const std::bad_alloc&) {
        return MftStatus::IoError;
    } catch (...) {
        return MftStatus::BadFormat;
    }
}

}  // namespace purvex::core::ntfs
