#pragma once

// Layouts of the NTFS structures the reader parses. Values are copied out of the byte buffers
// with memcpy, so neither alignment nor aliasing of the buffers matters.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace purvex::core::ntfs {

static_assert(std::endian::native == std::endian::little,
              "NTFS structures are little-endian and are copied out as they are");

inline constexpr std::uint32_t kFileSignature = 0x454C4946;  // "FILE"
inline constexpr std::uint32_t kAttrStandardInformation = 0x10;
inline constexpr std::uint32_t kAttrAttributeList = 0x20;
inline constexpr std::uint32_t kAttrFileName = 0x30;
inline constexpr std::uint32_t kAttrData = 0x80;
inline constexpr std::uint32_t kAttrBitmap = 0xB0;
inline constexpr std::uint32_t kAttrEnd = 0xFFFFFFFF;

inline constexpr std::uint16_t kRecordInUse = 0x0001;
inline constexpr std::uint16_t kRecordIsDirectory = 0x0002;
inline constexpr std::uint16_t kAttrFlagCompressed = 0x0001;
inline constexpr std::uint16_t kAttrFlagSparse = 0x8000;

inline constexpr std::uint64_t kRecordNumberMask = 0x0000FFFFFFFFFFFFull;
inline constexpr std::uint64_t kRootRecord = 5;

struct RecordHeader {
    std::uint32_t signature;
    std::uint16_t usaOffset;
    std::uint16_t usaCount;
    std::uint64_t logSequence;
    std::uint16_t sequence;
    std::uint16_t linkCount;
    std::uint16_t firstAttribute;
    std::uint16_t flags;
    std::uint32_t bytesInUse;
    std::uint32_t bytesAllocated;
    std::uint64_t baseRecord;
    std::uint16_t nextAttributeId;
};
static_assert(offsetof(RecordHeader, usaOffset) == 4 && offsetof(RecordHeader, usaCount) == 6);
static_assert(offsetof(RecordHeader, sequence) == 0x10);
static_assert(offsetof(RecordHeader, firstAttribute) == 0x14);
static_assert(offsetof(RecordHeader, flags) == 0x16);
static_assert(offsetof(RecordHeader, bytesInUse) == 0x18);
static_assert(offsetof(RecordHeader, baseRecord) == 0x20);
static_assert(offsetof(RecordHeader, nextAttributeId) == 0x28);
inline constexpr std::size_t kMinRecordSize = 48;

// The header shared by every attribute, then the resident or the non-resident tail.
struct AttributeHeader {
    std::uint32_t type;
    std::uint32_t length;
    std::uint8_t nonResident;
    std::uint8_t nameLength;
    std::uint16_t nameOffset;
    std::uint16_t flags;
    std::uint16_t instance;
};
static_assert(sizeof(AttributeHeader) == 16);
static_assert(offsetof(AttributeHeader, length) == 4 &&
              offsetof(AttributeHeader, nonResident) == 8);
static_assert(offsetof(AttributeHeader, nameLength) == 9 &&
              offsetof(AttributeHeader, nameOffset) == 10);
static_assert(offsetof(AttributeHeader, flags) == 12);

struct ResidentAttribute {
    AttributeHeader header;
    std::uint32_t valueLength;
    std::uint16_t valueOffset;
    std::uint8_t indexed;
    std::uint8_t padding;
};
static_assert(sizeof(ResidentAttribute) == 24);
static_assert(offsetof(ResidentAttribute, valueLength) == 16);
static_assert(offsetof(ResidentAttribute, valueOffset) == 20);

struct NonResidentAttribute {
    AttributeHeader header;
    std::uint64_t startVcn;
    std::uint64_t lastVcn;
    std::uint16_t runListOffset;
    std::uint16_t compressionUnit;
    std::uint32_t padding;
    std::uint64_t allocatedSize;
    std::uint64_t dataSize;
    std::uint64_t initializedSize;
    std::uint64_t compressedSize;  // only when compressed or sparse
};
static_assert(offsetof(NonResidentAttribute, startVcn) == 16);
static_assert(offsetof(NonResidentAttribute, lastVcn) == 24);
static_assert(offsetof(NonResidentAttribute, runListOffset) == 32);
static_assert(offsetof(NonResidentAttribute, allocatedSize) == 40);
static_assert(offsetof(NonResidentAttribute, dataSize) == 48);
static_assert(offsetof(NonResidentAttribute, initializedSize) == 56);
static_assert(offsetof(NonResidentAttribute, compressedSize) == 64);
static_assert(sizeof(NonResidentAttribute) == 72);
inline constexpr std::size_t kMinNonResidentLength = 64;
inline constexpr std::size_t kCompressedNonResidentLength = 72;

struct StandardInformation {
    std::uint64_t creationTime;
    std::uint64_t lastWriteTime;
    std::uint64_t changeTime;
    std::uint64_t lastAccessTime;
    std::uint32_t attributes;
};
static_assert(offsetof(StandardInformation, lastWriteTime) == 8);
static_assert(offsetof(StandardInformation, attributes) == 32);
inline constexpr std::size_t kMinStandardInformation = 36;

struct FileNameHeader {
    std::uint64_t parent;
    std::uint64_t creationTime;
    std::uint64_t lastWriteTime;
    std::uint64_t changeTime;
    std::uint64_t lastAccessTime;
    std::uint64_t allocatedSize;
    std::uint64_t dataSize;
    std::uint32_t flags;
    std::uint32_t reparseTag;
    std::uint8_t nameLength;
    std::uint8_t nameSpace;
};
static_assert(offsetof(FileNameHeader, nameLength) == 64);
static_assert(offsetof(FileNameHeader, nameSpace) == 65);
inline constexpr std::size_t kFileNameHeaderSize = 66;

inline constexpr std::uint8_t kNamespacePosix = 0;
inline constexpr std::uint8_t kNamespaceWin32 = 1;
inline constexpr std::uint8_t kNamespaceDos = 2;
inline constexpr std::uint8_t kNamespaceWin32AndDos = 3;

struct AttributeListEntry {
    std::uint32_t type;
    std::uint16_t length;
    std::uint8_t nameLength;
    std::uint8_t nameOffset;
    std::uint64_t startVcn;
    std::uint64_t reference;
    std::uint16_t attributeId;
};
static_assert(offsetof(AttributeListEntry, length) == 4);
static_assert(offsetof(AttributeListEntry, nameLength) == 6);
static_assert(offsetof(AttributeListEntry, startVcn) == 8);
static_assert(offsetof(AttributeListEntry, reference) == 16);
static_assert(offsetof(AttributeListEntry, attributeId) == 24);
inline constexpr std::size_t kMinAttributeListEntry = 26;

// Copies a structure out of a buffer that the caller has checked holds at least its prefix.
// The bytes past `available` are zero, so tails that are absent read as zero.
template <typename T>
T LoadPrefix(const std::uint8_t* bytes, std::size_t available) {
    T value{};
    if (available >= sizeof(T)) {
        std::memcpy(&value, bytes, sizeof(T));  // a fixed size compiles to plain moves
    } else {
        std::memcpy(&value, bytes, available);
    }
    return value;
}

template <typename T>
T LoadLe(const std::uint8_t* bytes) {
    T value{};
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}

}  // namespace purvex::core::ntfs
