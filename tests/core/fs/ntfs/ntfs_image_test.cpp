// The index of each image made by ntfs-3g must agree with ntfs-3g's own view of the image:
// every path, every size, every folder total, every folder's children.
#include <gtest/gtest.h>
#include <map>
#include <set>

#include "core/fs/ntfs/memory_device.h"
#include "core/fs/ntfs/path_index_impl.h"
#include "core/fs/ntfs/volume.h"
#include "core/fs/path_text.h"
#include "core/text.h"
#include "support/ntfs_images.h"

namespace purvex::core::ntfs {
namespace {

using test::ListedRecord;

std::wstring ParentOf(const std::wstring& path) {
    const auto cut = path.rfind(L'\\');
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

class NtfsImageTest : public ::testing::TestWithParam<const char*> {};

TEST_P(NtfsImageTest, IndexAgreesWithNtfs3gListing) {
    DWORD error = 0;
    Volume volume(Volume::Open(ToLongPath(test::NtfsImagePath(GetParam())), error));
    ASSERT_EQ(error, 0u);
    const auto geometry = test::ReadGeometry(volume);
    ASSERT_TRUE(geometry.has_value());
    CancelToken cancel;
    MftStatus status = MftStatus::IoError;
    auto index = BuildPathIndex(volume, *geometry, L'x', cancel, nullptr, &status);
    ASSERT_EQ(status, MftStatus::Ok);
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->DriveLetter(), L'X');
    EXPECT_EQ(index->FullPath(5), L"X:\\");

    const std::map<std::uint64_t, ListedRecord> listing = test::LoadNtfsListing(GetParam());
    ASSERT_FALSE(listing.empty());

    // Every record ntfs-3g shows is in the index under one of its names, with its size.
    std::map<std::wstring, std::uint64_t> chosen;  // relative path → record
    for (const auto& [record, listed] : listing) {
        IndexEntry e;
        ASSERT_TRUE(index->Get(record, e)) << record;
        const std::wstring full = index->FullPath(record);
        ASSERT_GT(full.size(), 3u) << record;
        const std::wstring relative = full.substr(3);
        EXPECT_EQ(listed.paths.count(relative), 1u) << WideToUtf8(full);
        EXPECT_EQ((e.attributes & 0x10) != 0, listed.folder) << WideToUtf8(full);
        EXPECT_EQ(e.size, listed.size) << WideToUtf8(full);
        EXPECT_EQ(std::wstring(e.name, e.nameLength), relative.substr(relative.rfind(L'\\') + 1));
        EXPECT_EQ(e.frn & 0x0000FFFFFFFFFFFFull, record);
        chosen[relative] = record;
    }

    // Nothing else in the index is reachable from the root: no deleted, extension or DOS-only
    // record slipped in.
    index->ForEach([&](const IndexEntry& e) {
        const std::uint64_t record = e.frn & 0x0000FFFFFFFFFFFFull;
        if (record != 5 && !index->FullPath(e.frn).empty()) {
            EXPECT_EQ(listing.count(record), 1u) << WideToUtf8(index->FullPath(e.frn));
        }
        return true;
    });

    // Folder totals, counting each file once at the name the index chose for it.
    std::map<std::wstring, std::uint64_t> totals;
    std::uint64_t all = 0;
    for (const auto& [path, record] : chosen) {
        const ListedRecord& listed = listing.at(record);
        if (listed.folder) {
            continue;
        }
        all += listed.size;
        for (std::wstring up = ParentOf(path); !up.empty(); up = ParentOf(up)) {
            totals[up] += listed.size;
        }
    }
    EXPECT_EQ(index->TotalSize(5), all);
    for (const auto& [path, record] : chosen) {
        if (listing.at(record).folder) {
            EXPECT_EQ(index->TotalSize(record), totals[path]) << WideToUtf8(path);
        } else {
            EXPECT_EQ(index->TotalSize(record), listing.at(record).size);
        }
    }

    // Children of every folder, the root included.
    std::map<std::wstring, std::set<std::uint64_t>> expected;
    for (const auto& [path, record] : chosen) {
        expected[ParentOf(path)].insert(record);
    }
    std::vector<std::pair<std::wstring, std::uint64_t>> folders = {{L"", 5}};
    for (const auto& [path, record] : chosen) {
        if (listing.at(record).folder) {
            folders.emplace_back(path, record);
        }
    }
    for (const auto& [path, record] : folders) {
        std::set<std::uint64_t> seen;
        index->ForEachChild(record, [&](const IndexEntry& e) {
            const std::uint64_t child = e.frn & 0x0000FFFFFFFFFFFFull;
            if (index->FullPath(child).size() > 3) {
                seen.insert(child);
            }
            return true;
        });
        EXPECT_EQ(seen, expected[path]) << WideToUtf8(path);
    }
}

INSTANTIATE_TEST_SUITE_P(Images, NtfsImageTest,
                         ::testing::Values("mixed-4k", "mixed-512", "holes", "fragmented",
                                           "fragmented-table"));

// The table's own runs continue in extension records named by record 0's attribute list;
// without them the table cannot be read, so a torn one fails the build.
TEST(NtfsImageReading, TableRunsInExtensionRecordsAreFollowed) {
    auto bytes = test::LoadNtfsImage("fragmented-table");
    MemoryDevice device(bytes);
    const auto geometry = test::ReadGeometry(device);
    ASSERT_TRUE(geometry.has_value());
    CancelToken cancel;
    MftStatus status = MftStatus::IoError;
    auto index = BuildPathIndex(device, *geometry, L'C', cancel, nullptr, &status);
    ASSERT_EQ(status, MftStatus::Ok);
    // The records that live in the table's later runs are there, the last one included.
    const auto listing = test::LoadNtfsListing("fragmented-table");
    ASSERT_FALSE(listing.empty());
    const std::uint64_t lastRecord = listing.rbegin()->first;
    EXPECT_GT(lastRecord, 4000u);
    EXPECT_EQ(index->FullPath(lastRecord).substr(3), *listing.rbegin()->second.paths.begin());

    for (std::uint64_t extension : {15u, 17u}) {
        auto torn = bytes;
        torn[test::RecordOffset(torn, *geometry, extension) + 510] ^= 0xFF;
        MemoryDevice tornDevice(torn);
        EXPECT_EQ(BuildPathIndex(tornDevice, *geometry, L'C', cancel, nullptr, &status), nullptr);
        EXPECT_EQ(status, MftStatus::BadFormat) << extension;
    }
}

// The names ntfs-3g wrote in each name space, and the streams it moved out of the base record.
TEST(NtfsImageNames, ChoosesWin32OverDosAndKeepsPosixOnlyNames) {
    const auto bytes = test::LoadNtfsImage("mixed-4k");
    MemoryDevice device(bytes);
    const auto geometry = test::ReadGeometry(device);
    ASSERT_TRUE(geometry.has_value());
    CancelToken cancel;
    MftStatus status = MftStatus::IoError;
    auto index = BuildPathIndex(device, *geometry, L'C', cancel, nullptr, &status);
    ASSERT_EQ(status, MftStatus::Ok);
    std::set<std::wstring> paths;
    index->ForEach([&](const IndexEntry& e) {
        paths.insert(index->FullPath(e.frn));
        return true;
    });
    const std::wstring expected[] = {
        L"C:\\shortnames\\Program Settings File.ini",
        L"C:\\shortnames\\Long Folder Name\\inner.txt",
        L"C:\\unicode\\emoji-\U0001F600.txt",
        L"C:\\streams\\host.bin",
    };
    for (const auto& p : expected) {
        EXPECT_EQ(paths.count(p), 1u) << WideToUtf8(p);
    }
    EXPECT_EQ(paths.count(L"C:\\shortnames\\PROGRA~1.INI"), 0u);
    // The hard-linked file has two POSIX names; exactly one of them is reported.
    EXPECT_EQ(paths.count(L"C:\\links\\a\\target.txt") + paths.count(L"C:\\links\\b\\alias.txt"),
              1u);
}

// A block device that counts what it reads.
class CountingDevice final : public BlockDevice {
public:
    explicit CountingDevice(BlockDevice& inner) : inner_(inner) {}
    bool Read(std::uint64_t offset, std::uint8_t* buffer, std::uint64_t length) override {
        bytesRead += length;
        return inner_.Read(offset, buffer, length);
    }
    std::uint64_t bytesRead = 0;

private:
    BlockDevice& inner_;
};

TEST(NtfsImageReading, SkipsChunksOfUnusedRecordsWithoutReadingThem) {
    const auto bytes = test::LoadNtfsImage("holes");
    MemoryDevice memory(bytes);
    CountingDevice device(memory);
    const auto geometry = test::ReadGeometry(device);
    ASSERT_TRUE(geometry.has_value());
    device.bytesRead = 0;
    CancelToken cancel;
    Progress last;
    std::uint64_t reports = 0;
    std::uint64_t records = 0;
    const MftStatus status = ReadMft(
        device, *geometry,
        [&](const MftRecordView&) {
            ++records;
            return true;
        },
        cancel,
        [&](const Progress& p) {
            ++reports;
            last = p;
        });
    ASSERT_EQ(status, MftStatus::Ok);
    EXPECT_EQ(last.fraction, 1.0);
    EXPECT_EQ(last.current, L"$MFT");
    EXPECT_GE(reports, 2u);  // the first report and the final one always pass
    EXPECT_EQ(last.items * geometry->bytesPerRecord, last.bytes);
    // Eight thousand of the ten thousand files were deleted again.
    EXPECT_GT(last.items, 10000u);
    EXPECT_LT(device.bytesRead, last.bytes);
    EXPECT_GE(records, 2000u);
}

TEST(NtfsImageReading, StopsWhenTheCallbackSaysSoAndWhenCancelled) {
    const auto bytes = test::LoadNtfsImage("mixed-4k");
    MemoryDevice device(bytes);
    const auto geometry = test::ReadGeometry(device);
    ASSERT_TRUE(geometry.has_value());
    CancelToken cancel;
    int calls = 0;
    EXPECT_EQ(
        ReadMft(
            device, *geometry, [&](const MftRecordView&) { return ++calls < 3; }, cancel, nullptr),
        MftStatus::Ok);
    EXPECT_EQ(calls, 3);

    cancel.Cancel();
    MftStatus status = MftStatus::Ok;
    EXPECT_EQ(BuildPathIndex(device, *geometry, L'C', cancel, nullptr, &status), nullptr);
    EXPECT_EQ(status, MftStatus::Cancelled);

    CancelToken during;
    calls = 0;
    EXPECT_EQ(ReadMft(
                  device, *geometry,
                  [&](const MftRecordView&) {
                      ++calls;
                      during.Cancel();
                      return true;
                  },
                  during, nullptr),
              MftStatus::Cancelled);
}

}  // namespace
}  // namespace purvex::core::ntfs
