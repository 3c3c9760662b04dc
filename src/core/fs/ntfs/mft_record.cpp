#include "core/fs/ntfs/mft_record.h"

#include "core/fs/ntfs/on_disk.h"

namespace purvex::core::ntfs {

bool HasValidRecordHeader(std::span<const std::uint8_t> record) {
    if (record.size() < kMinRecordSize) {
        return false;
    }
    const auto header = LoadPrefix<RecordHeader>(record.data(), record.size());
    return header.signature == kFileSignature && header.firstAttribute >= 40 &&
           header.firstAttribute < record.size() && header.bytesInUse <= record.size() &&
           header.bytesInUse > header.firstAttribute;
}

bool IsRecordInUse(std::span<const std::uint8_t> record) {
    return record.size() >= kMinRecordSize &&
           (LoadLe<std::uint16_t>(record.data() + offsetof(RecordHeader, flags)) & kRecordInUse) !=
               0;
}

AttributeWalker::AttributeWalker(std::span<const std::uint8_t> record) : record_(record) {
    const auto header = LoadPrefix<RecordHeader>(record.data(), record.size());
    pos_ = header.firstAttribute;
    end_ = header.bytesInUse;
    if (end_ > record.size() || pos_ >= end_) {
        done_ = true;
        malformed_ = true;
    }
}

bool AttributeWalker::Next(Attribute& out) {
    if (done_) {
        return false;
    }
    auto fail = [this] {
        done_ = true;
        malformed_ = true;
        return false;
    };
    const std::size_t left = end_ - pos_;
    if (left >= 4 && LoadLe<std::uint32_t>(record_.data() + pos_) == kAttrEnd) {
        done_ = true;
        return false;
    }
    if (left < sizeof(ResidentAttribute)) {
        return fail();
    }
    const std::uint8_t* a = record_.data() + pos_;
    const auto header = LoadLe<AttributeHeader>(a);
    if (header.length < sizeof(ResidentAttribute) || header.length > left) {
        return fail();
    }
    if (header.nameLength != 0 &&
        std::size_t{header.nameOffset} + 2 * std::size_t{header.nameLength} > header.length) {
        return fail();
    }
    out = Attribute{};
    out.type = header.type;
    out.flags = header.flags;
    out.nonResident = header.nonResident != 0;
    out.nameLength = header.nameLength;
    if (!out.nonResident) {
        const auto resident = LoadLe<ResidentAttribute>(a);
        if (std::size_t{resident.valueOffset} + resident.valueLength > header.length) {
            return fail();
        }
        out.value = std::span<const std::uint8_t>(a + resident.valueOffset, resident.valueLength);
    } else {
        if (header.length < kMinNonResidentLength) {
            return fail();
        }
        const auto nr = LoadPrefix<NonResidentAttribute>(a, header.length);
        if (nr.runListOffset >= header.length) {
            return fail();
        }
        out.startVcn = nr.startVcn;
        out.lastVcn = nr.lastVcn;
        out.allocatedSize = nr.allocatedSize;
        out.dataSize = nr.dataSize;
        out.initializedSize = nr.initializedSize;
        if ((header.flags & (kAttrFlagCompressed | kAttrFlagSparse)) != 0 &&
            header.length >= kCompressedNonResidentLength &&
            nr.runListOffset >= kCompressedNonResidentLength) {
            out.allocatedSize = nr.compressedSize;
        }
        out.runList =
            std::span<const std::uint8_t>(a + nr.runListOffset, header.length - nr.runListOffset);
    }
    pos_ += header.length;
    return true;
}

namespace {

int NameRank(std::uint8_t nameSpace) {
    switch (nameSpace) {
        case kNamespacePosix:
            return 1;
        case kNamespaceWin32:
        case kNamespaceWin32AndDos:
            return 2;
        default:
            return 0;  // DOS-only names and unknown name spaces are never shown
    }
}

void TakeFileName(const Attribute& attr, std::span<const std::uint8_t> record, RecordSummary& s) {
    if (attr.nonResident || attr.value.size() < kFileNameHeaderSize) {
        return;
    }
    const auto fn = LoadPrefix<FileNameHeader>(attr.value.data(), attr.value.size());
    if (attr.value.size() < kFileNameHeaderSize + 2 * std::size_t{fn.nameLength}) {
        return;
    }
    const auto nameStart =
        static_cast<std::size_t>(attr.value.data() + kFileNameHeaderSize - record.data());
    if (nameStart % 2 != 0) {
        return;
    }
    const int rank = NameRank(fn.nameSpace);
    if (rank <= s.nameRank) {
        return;
    }
    s.nameRank = rank;
    s.parentReference = fn.parent;
    s.nameLength = fn.nameLength;
    s.name = attr.value.subspan(kFileNameHeaderSize, 2 * std::size_t{fn.nameLength});
}

}  // namespace

RecordSummary SummarizeRecord(std::span<const std::uint8_t> record) {
    RecordSummary s;
    const auto header = LoadPrefix<RecordHeader>(record.data(), record.size());
    s.sequence = header.sequence;
    s.headerFlags = header.flags;
    s.baseReference = header.baseRecord;

    AttributeWalker walker(record);
    Attribute attr;
    while (walker.Next(attr)) {
        switch (attr.type) {
            case kAttrStandardInformation:
                if (!s.hasStandardInformation && !attr.nonResident &&
                    attr.value.size() >= kMinStandardInformation) {
                    const auto si =
                        LoadPrefix<StandardInformation>(attr.value.data(), attr.value.size());
                    s.hasStandardInformation = true;
                    s.lastWriteTime = si.lastWriteTime;
                    s.attributes = si.attributes;
                }
                break;
            case kAttrFileName:
                TakeFileName(attr, record, s);
                break;
            case kAttrData:
                if (s.hasData || attr.nameLength != 0) {
                    break;
                }
                if (!attr.nonResident) {
                    s.hasData = true;
                    s.dataResident = true;
                    s.dataSize = attr.value.size();
                } else if (attr.startVcn == 0) {
                    s.hasData = true;
                    s.dataSize = attr.dataSize;
                    s.allocatedSize = attr.allocatedSize;
                }
                break;
            case kAttrAttributeList:
                s.hasAttributeList = true;
                break;
            default:
                break;
        }
    }
    s.malformed = walker.Malformed();
    return s;
}

}  // namespace purvex::core::ntfs
