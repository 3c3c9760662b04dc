// Damaged tables never crash the reader and never make it loop: torn or malformed records are
// skipped, a damaged record 0 fails the build, parent cycles hang below no folder.
#include <gtest/gtest.h>
#include <random>

#include "core/fs/ntfs/memory_device.h"
#include "core/fs/ntfs/on_disk.h"
#include "core/fs/ntfs/path_index_impl.h"
#include "support/ntfs_images.h"

namespace purvex::core::ntfs {
namespace {

constexpr std::uint64_t kRecordMask = 0x0000FFFFFFFFFFFFull;

class NtfsDamageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        pristine_ = new std::vector<std::uint8_t>(test::LoadNtfsImage("mixed-4k"));
        listing_ =
            new std::map<std::uint64_t, test::ListedRecord>(test::LoadNtfsListing("mixed-4k"));
    }
    static void TearDownTestSuite() {
        delete pristine_;
        delete listing_;
    }

    void SetUp() override {
        ASSERT_FALSE(pristine_->empty());
        image_ = *pristine_;
        MemoryDevice device(image_);
        const auto g = test::ReadGeometry(device);
        ASSERT_TRUE(g.has_value());
        geometry_ = *g;
    }

    std::unique_ptr<PathIndexImpl> Build(MftStatus& status, std::size_t length = SIZE_MAX) {
        MemoryDevice device(
            std::span<const std::uint8_t>(image_).first(std::min(length, image_.size())));
        CancelToken cancel;
        return BuildPathIndex(device, geometry_, L'C', cancel, nullptr, &status);
    }

    static std::uint64_t RecordOf(const std::wstring& path) {
        for (const auto& [record, listed] : *listing_) {
            if (listed.paths.count(path) != 0) {
                return record;
            }
        }
        ADD_FAILURE() << "not listed";
        return 0;
    }

    std::uint64_t RecordAt(std::uint64_t record) {
        return test::RecordOffset(image_, geometry_, record);
    }
    std::size_t AttributeAt(std::uint64_t record, std::uint32_t type) {
        const std::size_t at = test::AttributeOffset(image_, geometry_, record, type);
        EXPECT_NE(at, 0u);
        return static_cast<std::size_t>(RecordAt(record)) + at;
    }
    std::size_t ValueAt(std::uint64_t record, std::uint32_t type) {
        const std::size_t attr = AttributeAt(record, type);
        return attr + LoadLe<std::uint16_t>(image_.data() + attr + 20);
    }

    static std::vector<std::uint8_t>* pristine_;
    static std::map<std::uint64_t, test::ListedRecord>* listing_;
    std::vector<std::uint8_t> image_;
    VolumeGeometry geometry_;
};

std::vector<std::uint8_t>* NtfsDamageTest::pristine_ = nullptr;
std::map<std::uint64_t, test::ListedRecord>* NtfsDamageTest::listing_ = nullptr;

struct RecordDamage {
    const char* what;
    std::size_t offset;  // inside the record; 0xFFFF = the first attribute's length field
    std::uint8_t value;
};

TEST_F(NtfsDamageTest, DamagedRecordIsSkippedAndEveryOtherRecordKept) {
    const RecordDamage cases[] = {
        {"torn second stride", 1022, 0x5A},
        {"torn first stride", 510, 0x5A},
        {"update-sequence count", 6, 7},
        {"update-sequence offset odd", 4, 0x29},
        {"signature", 0, 'B'},
        {"first attribute past the end", 0x15, 0x04},
        {"bytes in use beyond the record", 0x1A, 0x10},
        {"attribute of length zero", 0xFFFF, 0},
        {"not in use", 0x16, 0},
    };
    const std::uint64_t target = RecordOf(L"tree2\\sub1\\leaf\\file4.bin");
    for (const RecordDamage& c : cases) {
        SCOPED_TRACE(c.what);
        image_ = *pristine_;
        const auto at = static_cast<std::size_t>(RecordAt(target));
        if (c.offset == 0xFFFF) {
            const std::size_t first = LoadLe<std::uint16_t>(image_.data() + at + 0x14);
            std::fill_n(image_.begin() + at + first + 4, 4, std::uint8_t{0});
        } else {
            image_[at + c.offset] = c.value;
        }
        MftStatus status = MftStatus::IoError;
        auto index = Build(status);
        ASSERT_EQ(status, MftStatus::Ok);
        IndexEntry e;
        EXPECT_FALSE(index->Get(target, e));
        for (const auto& [record, listed] : *listing_) {
            if (record != target) {
                EXPECT_FALSE(index->FullPath(record).empty()) << record;
            }
        }
    }
}

TEST_F(NtfsDamageTest, DamagedRecordZeroFailsTheBuild) {
    const char* cases[] = {
        "torn",
        "run header with a nine-byte offset",
        "run of length zero",
        "negative cluster number",
        "runs past the end of the volume",
        "data attribute longer than the record",
    };
    for (const char* c : cases) {
        SCOPED_TRACE(c);
        image_ = *pristine_;
        const std::size_t zero = static_cast<std::size_t>(RecordAt(0));
        const std::size_t data = AttributeAt(0, kAttrData);
        const std::size_t runs = data + LoadLe<std::uint16_t>(image_.data() + data + 32);
        const std::uint8_t header = image_[runs];
        const std::string what = c;
        const VolumeGeometry g = geometry_;
        if (what == "torn") {
            image_[zero + 1022] ^= 0xFF;
        } else if (what.starts_with("run header")) {
            image_[runs] = 0x91;
        } else if (what.starts_with("run of length zero")) {
            std::fill_n(image_.begin() + runs + 1, header & 0x0F, std::uint8_t{0});
        } else if (what.starts_with("negative")) {
            const std::size_t offsetField = runs + 1 + (header & 0x0F);
            image_[offsetField + (header >> 4) - 1] = 0x80;
        } else if (what.starts_with("runs past")) {
            // The same table on a volume too small to hold it.
            geometry_.totalClusters = geometry_.mftStartLcn + 1;
        } else {
            image_[data + 6] = 0x40;  // length field, third byte: far beyond the record
        }
        MftStatus status = MftStatus::Ok;
        EXPECT_EQ(Build(status), nullptr);
        EXPECT_EQ(status, MftStatus::BadFormat);
        geometry_ = g;
    }
}

TEST_F(NtfsDamageTest, ImageCutShortIsAnIoError) {
    MftStatus status = MftStatus::Ok;
    const std::size_t cut =
        static_cast<std::size_t>(geometry_.mftStartLcn * geometry_.bytesPerCluster + 4096);
    EXPECT_EQ(Build(status, cut), nullptr);
    EXPECT_EQ(status, MftStatus::IoError);
}

TEST_F(NtfsDamageTest, ParentCycleHangsBelowNoFolder) {
    const std::uint64_t tree = RecordOf(L"tree0");
    const std::uint64_t sub = RecordOf(L"tree0\\sub0");
    const std::uint64_t file = RecordOf(L"tree0\\sub0\\leaf\\file1.bin");
    MftStatus status = MftStatus::IoError;
    const std::uint64_t before = Build(status)->TotalSize(5);
    const std::uint64_t treeTotal = Build(status)->TotalSize(tree);
    ASSERT_GT(treeTotal, 0u);

    // tree0 now names its own child as its parent (sequence 0 matches any).
    const std::size_t value = ValueAt(tree, kAttrFileName);
    const std::uint64_t parent = sub;
    std::memcpy(image_.data() + value, &parent, sizeof(parent));
    auto index = Build(status);
    ASSERT_EQ(status, MftStatus::Ok);
    EXPECT_EQ(index->FullPath(tree), L"");
    EXPECT_EQ(index->FullPath(sub), L"");
    EXPECT_EQ(index->FullPath(file), L"");
    EXPECT_EQ(index->TotalSize(5), before - treeTotal);
    index->ForEachChild(5, [&](const IndexEntry& e) {
        EXPECT_NE(e.frn & kRecordMask, tree);
        return true;
    });
}

TEST_F(NtfsDamageTest, FileNameRulesDecideWhatIsReported) {
    struct Case {
        const char* what;
        std::size_t valueOffset;
        std::uint8_t value;
        bool reported;
    };
    const Case cases[] = {
        {"name longer than its attribute", 64, 200, false},
        {"DOS name only", 65, 2, false},
        {"unknown name space", 65, 7, false},
        {"Win32 name", 65, 1, true},
        {"Win32 and DOS name", 65, 3, true},
    };
    const std::uint64_t target = RecordOf(L"reuse\\new3.dat");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        image_ = *pristine_;
        image_[ValueAt(target, kAttrFileName) + c.valueOffset] = c.value;
        MftStatus status = MftStatus::IoError;
        auto index = Build(status);
        ASSERT_EQ(status, MftStatus::Ok);
        EXPECT_EQ(index->FullPath(target),
                  c.reported ? std::wstring(L"C:\\reuse\\new3.dat") : std::wstring());
    }
}

// Random damage anywhere in the first records of the table: whatever the status, the reader
// returns, and every operation of a built index stays inside its data.
TEST_F(NtfsDamageTest, RandomDamageNeverCrashesOrLoops) {
    std::mt19937 random(20261211);
    const auto start = static_cast<std::size_t>(RecordAt(0));
    const std::size_t span = 512 * geometry_.bytesPerRecord;
    for (int round = 0; round < 60; ++round) {
        image_ = *pristine_;
        for (int i = 0; i < 24; ++i) {
            image_[start + random() % span] = static_cast<std::uint8_t>(random());
        }
        MftStatus status = MftStatus::Ok;
        auto index = Build(status);
        if (status != MftStatus::Ok) {
            EXPECT_EQ(index, nullptr);
            continue;
        }
        index->ForEach([&](const IndexEntry& e) {
            (void)index->FullPath(e.frn);
            (void)index->TotalSize(e.frn);
            index->ForEachChild(e.frn, [](const IndexEntry&) { return true; });
            return true;
        });
    }
}

}  // namespace
}  // namespace purvex::core::ntfs
