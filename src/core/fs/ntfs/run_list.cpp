#include "core/fs/ntfs/run_list.h"

#include <cstddef>

namespace purvex::core::ntfs {
namespace {

constexpr std::uint64_t kMaxRunLength = std::uint64_t{1} << 62;

std::uint64_t ReadUnsigned(const std::uint8_t* p, unsigned size) {
    std::uint64_t v = 0;
    for (unsigned i = 0; i < size; ++i) {
        v |= std::uint64_t{p[i]} << (8 * i);
    }
    return v;
}

std::int64_t ReadSigned(const std::uint8_t* p, unsigned size) {
    std::uint64_t v = ReadUnsigned(p, size);
    if (size < 8 && (p[size - 1] & 0x80) != 0) {
        v |= ~std::uint64_t{0} << (8 * size);
    }
    return static_cast<std::int64_t>(v);
}

}  // namespace

bool DecodeRunList(std::span<const std::uint8_t> bytes, std::uint64_t startVcn,
                   std::vector<Extent>& out) {
    const std::size_t keep = out.size();
    auto fail = [&] {
        out.resize(keep);
        return false;
    };
    std::uint64_t vcn = startVcn;
    std::int64_t lcn = 0;
    std::size_t pos = 0;
    while (true) {
        if (pos >= bytes.size()) {
            return fail();  // no terminating zero inside the attribute
        }
        const std::uint8_t header = bytes[pos++];
        if (header == 0) {
            return true;
        }
        const unsigned lengthSize = header & 0x0F;
        const unsigned offsetSize = header >> 4;
        if (lengthSize == 0 || lengthSize > 8 || offsetSize > 8) {
            return fail();
        }
        if (bytes.size() - pos < std::size_t{lengthSize} + offsetSize) {
            return fail();
        }
        const std::uint64_t length = ReadUnsigned(bytes.data() + pos, lengthSize);
        pos += lengthSize;
        if (length == 0 || length > kMaxRunLength || vcn > UINT64_MAX - length) {
            return fail();
        }
        Extent e;
        e.vcn = vcn;
        e.clusters = length;
        if (offsetSize == 0) {
            e.sparse = true;
        } else {
            const std::int64_t delta = ReadSigned(bytes.data() + pos, offsetSize);
            pos += offsetSize;
            if ((delta > 0 && lcn > INT64_MAX - delta) || lcn + delta < 0) {
                return fail();
            }
            lcn += delta;
            e.lcn = static_cast<std::uint64_t>(lcn);
        }
        out.push_back(e);
        vcn += length;
    }
}

}  // namespace purvex::core::ntfs
