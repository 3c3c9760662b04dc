#include "support/ntfs_images.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <sstream>

#include "core/fs/ntfs/fixup.h"
#include "core/fs/ntfs/mft_record.h"
#include "core/fs/ntfs/on_disk.h"
#include "core/fs/ntfs/run_list.h"
#include "core/fs/ntfs/volume.h"
#include "core/fs/path_text.h"
#include "core/text.h"

namespace purvex::test {
namespace {

// The images live in the build tree on the Linux side; Wine shows the Linux root as Z:.
std::wstring LinuxToWine(const std::string& linuxPath) {
    std::wstring path = L"Z:" + core::Utf8ToWide(linuxPath);
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return path;
}

std::string ReadAll(const std::wstring& path) {
    std::string bytes;
    core::UniqueFile file(CreateFileW(core::ToLongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) {
        ADD_FAILURE() << "cannot open " << core::WideToUtf8(path)
                      << "; scripts/test.sh makes it with scripts/make-ntfs-images.sh";
        return bytes;
    }
    LARGE_INTEGER size{};
    GetFileSizeEx(file.Get(), &size);
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const auto want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 24));
        if (!ReadFile(file.Get(), bytes.data() + done, want, &got, nullptr) || got == 0) {
            ADD_FAILURE() << "short read of " << core::WideToUtf8(path);
            break;
        }
        done += got;
    }
    return bytes;
}

}  // namespace

std::wstring NtfsImagePath(const std::string& name) {
    return LinuxToWine(std::string(PURVEX_NTFS_IMAGES) + "/" + name + ".img");
}

std::vector<std::uint8_t> LoadNtfsImage(const std::string& name) {
    const std::string bytes = ReadAll(NtfsImagePath(name));
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

std::map<std::uint64_t, ListedRecord> LoadNtfsListing(const std::string& name) {
    std::map<std::uint64_t, ListedRecord> records;
    std::istringstream in(
        ReadAll(LinuxToWine(std::string(PURVEX_NTFS_IMAGES) + "/" + name + ".list")));
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string inode, type, size, path;
        std::getline(fields, inode, '\t');
        std::getline(fields, type, '\t');
        std::getline(fields, size, '\t');
        std::getline(fields, path);
        ListedRecord& r = records[std::stoull(inode)];
        r.folder = type == "d";
        r.size = r.folder ? 0 : std::stoull(size);
        std::wstring wide = core::Utf8ToWide(path);
        for (wchar_t& c : wide) {
            if (c == L'/') {
                c = L'\\';
            }
        }
        r.paths.insert(wide);
    }
    return records;
}

std::optional<core::ntfs::VolumeGeometry> ReadGeometry(core::ntfs::BlockDevice& device) {
    std::uint8_t sector[512];
    if (!device.Read(0, sector, sizeof(sector))) {
        return std::nullopt;
    }
    return core::ntfs::GeometryFromBootSector(sector);
}

std::uint64_t RecordOffset(const std::vector<std::uint8_t>& image,
                           const core::ntfs::VolumeGeometry& g, std::uint64_t record) {
    using namespace core::ntfs;
    const std::uint64_t start = g.mftStartLcn * g.bytesPerCluster;
    std::vector<std::uint8_t> zero(image.begin() + start, image.begin() + start + g.bytesPerRecord);
    EXPECT_EQ(ApplyFixups(zero), FixupResult::Ok);
    std::vector<Extent> runs;
    AttributeWalker walker(zero);
    Attribute a;
    while (walker.Next(a)) {
        if (a.type == kAttrData && a.nameLength == 0) {
            EXPECT_TRUE(DecodeRunList(a.runList, a.startVcn, runs));
        }
    }
    const std::uint64_t pos = record * g.bytesPerRecord;
    for (const Extent& e : runs) {
        const std::uint64_t from = e.vcn * g.bytesPerCluster;
        if (pos >= from && pos < from + e.clusters * g.bytesPerCluster) {
            return e.lcn * g.bytesPerCluster + (pos - from);
        }
    }
    ADD_FAILURE() << "record " << record << " is not mapped";
    return 0;
}

std::size_t AttributeOffset(const std::vector<std::uint8_t>& image,
                            const core::ntfs::VolumeGeometry& g, std::uint64_t record,
                            std::uint32_t type) {
    using namespace core::ntfs;
    const std::uint64_t at = RecordOffset(image, g, record);
    std::vector<std::uint8_t> copy(image.begin() + at, image.begin() + at + g.bytesPerRecord);
    if (ApplyFixups(copy) != FixupResult::Ok) {
        return 0;
    }
    AttributeWalker walker(copy);
    Attribute a;
    std::size_t pos = LoadLe<std::uint16_t>(copy.data() + 0x14);
    while (walker.Next(a)) {
        if (a.type == type) {
            return pos;
        }
        pos += LoadLe<std::uint32_t>(copy.data() + pos + 4);
    }
    return 0;
}

}  // namespace purvex::test
