#pragma once

#include <cstdint>
#include <span>

namespace purvex::core::ntfs {

// One attribute as found by the walk. Spans point into the record buffer.
struct Attribute {
    std::uint32_t type = 0;
    std::uint16_t flags = 0;
    bool nonResident = false;
    std::uint8_t nameLength = 0;          // characters; the name itself is not needed by the reader
    std::span<const std::uint8_t> value;  // resident only
    std::uint64_t startVcn = 0;           // non-resident only, from here on
    std::uint64_t lastVcn = 0;
    std::uint64_t allocatedSize = 0;  // the compressed size for compressed or sparse streams
    std::uint64_t dataSize = 0;
    std::uint64_t initializedSize = 0;
    std::span<const std::uint8_t> runList;
};

// True when the header of a record of record.size() bytes is fit to be fixed up and walked:
// the signature, a first attribute inside the record, a bytes-in-use value past it and not
// beyond the record.
[[nodiscard]] bool HasValidRecordHeader(std::span<const std::uint8_t> record);
[[nodiscard]] bool IsRecordInUse(std::span<const std::uint8_t> record);

// Walks the attributes of a fixed-up record whose header was checked. Every attribute is
// bounds-checked before Next returns it, and a malformed one ends the walk.
class AttributeWalker {
public:
    explicit AttributeWalker(std::span<const std::uint8_t> record);
    // False at the end marker or at a malformed attribute (then Malformed() is true).
    bool Next(Attribute& out);
    [[nodiscard]] bool Malformed() const noexcept { return malformed_; }

private:
    std::span<const std::uint8_t> record_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool done_ = false;
    bool malformed_ = false;
};

// What the reader keeps of one record: the rank of a name decides between the names of a
// file with several (0 none, 1 POSIX, 2 Win32 or Win32 and DOS; DOS-only names are ignored).
struct RecordSummary {
    std::uint16_t sequence = 0;
    std::uint16_t headerFlags = 0;
    std::uint64_t baseReference = 0;
    bool hasStandardInformation = false;
    std::uint64_t lastWriteTime = 0;
    std::uint32_t attributes = 0;
    int nameRank = 0;
    std::uint64_t parentReference = 0;
    std::span<const std::uint8_t> name;  // UTF-16LE bytes, nameLength characters
    std::uint8_t nameLength = 0;
    bool hasData = false;
    std::uint64_t dataSize = 0;
    std::uint64_t allocatedSize = 0;
    bool dataResident = false;
    bool hasAttributeList = false;
    bool malformed = false;

    [[nodiscard]] bool IsDirectory() const noexcept { return (headerFlags & 0x0002) != 0; }
};

// Summarises a fixed-up record whose header was checked.
[[nodiscard]] RecordSummary SummarizeRecord(std::span<const std::uint8_t> record);

}  // namespace purvex::core::ntfs
