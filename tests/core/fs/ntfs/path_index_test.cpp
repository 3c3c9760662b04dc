#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/fs/ntfs/path_index_impl.h"

namespace purvex::core::ntfs {
namespace {

constexpr std::uint32_t kFolder = 0x10;

std::uint64_t Ref(std::uint64_t record, std::uint64_t sequence) {
    return record | sequence << 48;
}

void Add(PathIndexImpl& index, std::uint64_t frn, std::uint64_t parent, const std::u16string& name,
         std::uint64_t size, std::uint32_t attributes) {
    MftRecordView v;
    v.frn = frn;
    v.parentFrn = parent;
    v.name = name.data();
    v.nameLength = name.size();
    v.dataSize = size;
    v.attributes = attributes;
    index.AddRecord(v);
}

std::vector<std::uint64_t> Children(const PathIndex& index, std::uint64_t folder) {
    std::vector<std::uint64_t> out;
    index.ForEachChild(folder, [&](const IndexEntry& e) {
        out.push_back(e.frn & 0xFFFFFFFFFFFFull);
        return true;
    });
    return out;
}

// A record whose parent record was deleted and re-used still names the old sequence number:
// it belongs to no folder, has no path and counts in no total.
TEST(PathIndex, ReusedParentRecordLeavesTheChildDetached) {
    PathIndexImpl index(L'd');
    Add(index, Ref(5, 5), Ref(5, 5), u".", 0, kFolder);
    Add(index, Ref(64, 2), Ref(5, 5), u"dir", 0, kFolder);
    Add(index, Ref(70, 1), Ref(64, 1), u"stale.txt", 100, 0x20);
    Add(index, Ref(71, 1), Ref(64, 2), u"fresh.txt", 7, 0x20);
    Add(index, Ref(72, 1), Ref(64, 0), u"unversioned.txt", 3, 0x20);
    Add(index, Ref(73, 1), Ref(71, 1), u"below-a-file.txt", 1000, 0x20);
    index.Finish();

    EXPECT_EQ(index.EntryCount(), 6u);
    EXPECT_EQ(Children(index, 64), (std::vector<std::uint64_t>{71, 72}));
    EXPECT_EQ(Children(index, 5), (std::vector<std::uint64_t>{64}));
    EXPECT_TRUE(Children(index, 71).empty());
    EXPECT_EQ(index.FullPath(70), L"");
    EXPECT_EQ(index.FullPath(73), L"");
    EXPECT_EQ(index.FullPath(Ref(71, 9)), L"D:\\dir\\fresh.txt");
    EXPECT_EQ(index.FullPath(5), L"D:\\");
    EXPECT_EQ(index.TotalSize(64), 10u);
    EXPECT_EQ(index.TotalSize(5), 10u);
    EXPECT_EQ(index.TotalSize(70), 100u);
    EXPECT_EQ(index.TotalSize(99), 0u);

    IndexEntry e;
    ASSERT_TRUE(index.Get(70, e));
    EXPECT_EQ(e.parentFrn, 0u);
    ASSERT_TRUE(index.Get(71, e));
    EXPECT_EQ(e.parentFrn, Ref(64, 2));
    ASSERT_TRUE(index.Get(64, e));
    EXPECT_EQ(e.size, 0u);  // a folder's total is only given by TotalSize
    EXPECT_FALSE(index.Get(65, e));
    EXPECT_FALSE(index.Get(1000, e));
}

TEST(PathIndex, NamesAreCutAt255AndHugeRecordNumbersIgnored) {
    PathIndexImpl index(L'C');
    const std::u16string longName(300, u'x');
    Add(index, Ref(5, 5), Ref(5, 5), u".", 0, kFolder);
    Add(index, Ref(64, 1), Ref(5, 5), longName, 1, 0x20);
    Add(index, Ref(0xFFFFFFFF, 1), Ref(5, 5), u"too-far", 1, 0x20);
    index.Finish();
    EXPECT_EQ(index.EntryCount(), 2u);
    IndexEntry e;
    ASSERT_TRUE(index.Get(64, e));
    EXPECT_EQ(e.nameLength, 255u);
    EXPECT_EQ(index.FullPath(64), L"C:\\" + std::wstring(255, L'x'));
}

TEST(PathIndex, DeepChainsStopAtTheDepthLimit) {
    PathIndexImpl index(L'C');
    Add(index, Ref(5, 1), Ref(5, 1), u".", 0, kFolder);
    constexpr std::uint64_t kDepth = 20000;
    for (std::uint64_t i = 0; i < kDepth; ++i) {
        Add(index, Ref(16 + i, 1), Ref(i == 0 ? 5 : 15 + i, 1), u"d", 0, kFolder);
    }
    Add(index, Ref(16 + kDepth, 1), Ref(15 + kDepth, 1), u"f", 42, 0x20);
    index.Finish();
    EXPECT_EQ(index.FullPath(16 + kDepth), L"");
    EXPECT_EQ(index.FullPath(20).size(), 3u + 5u * 2u - 1u);
    EXPECT_EQ(index.TotalSize(5), 42u);
    EXPECT_EQ(index.TotalSize(16), 42u);
}

}  // namespace
}  // namespace purvex::core::ntfs
