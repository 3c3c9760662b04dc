#include "modules/bigfiles/top_files.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/text.h"

namespace purvex::bigfiles {
namespace {

constexpr std::uint64_t kGB = 1ull << 30;

core::FileEntry File(const wchar_t* path, std::uint64_t size) {
    core::FileEntry e;
    e.path = path;
    e.size = size;
    return e;
}

std::vector<std::wstring> Paths(const std::vector<BigFileItem>& items) {
    std::vector<std::wstring> paths;
    for (const BigFileItem& i : items) {
        paths.push_back(i.path);
    }
    return paths;
}

TEST(TopFilesTest, OrderIsSizeThenPathIgnoringCaseThenExactCodeUnits) {
    const struct {
        core::FileEntry a, b;
        bool aFirst;
    } cases[] = {
        {File(L"C:\\z", 2), File(L"C:\\a", 1), true},
        {File(L"C:\\a", 1), File(L"C:\\z", 2), false},
        {File(L"C:\\b", 5), File(L"C:\\A", 5), false},  // case ignored: "a" < "b"
        {File(L"C:\\a", 5), File(L"C:\\B", 5), true},
        {File(L"C:\\A", 5), File(L"C:\\a", 5), true},  // then exact: 'A' (0x41) < 'a'
        {File(L"C:\\a", 5), File(L"C:\\A", 5), false},
        {File(L"C:\\a", 5), File(L"C:\\a", 5), false},
        {File(L"C:\\a_", 5), File(L"C:\\aB", 5), false},  // folded: '_' (0x5F) > 'B' (0x42)
        {File(L"C:\\ab", 5), File(L"C:\\abc", 5), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(core::WideToUtf8(c.a.path + L" vs " + c.b.path));
        EXPECT_EQ(ComesBefore(c.a, c.b), c.aFirst);
    }
}

TEST(TopFilesTest, KeepsTheFirstOnesAndCountsAll) {
    const std::vector<core::FileEntry> files = {
        File(L"C:\\five", 5 * kGB), File(L"C:\\seven-b", 7 * kGB), File(L"C:\\small", kGB - 1),
        File(L"C:\\nine", 9 * kGB), File(L"C:\\Seven-a", 7 * kGB), File(L"C:\\one", kGB),
    };
    const struct {
        std::uint64_t limit;
        std::vector<std::wstring> kept;
    } cases[] = {
        {3, {L"C:\\nine", L"C:\\Seven-a", L"C:\\seven-b"}},
        {0, {}},
        {1, {L"C:\\nine"}},
        {100, {L"C:\\nine", L"C:\\Seven-a", L"C:\\seven-b", L"C:\\five", L"C:\\one"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.limit);
        TopFiles top(c.limit, kGB);
        for (const core::FileEntry& f : files) {
            top.Add(f);
        }
        EXPECT_EQ(top.Count(), 5u);  // exactly minSize counts, one byte less does not
        EXPECT_EQ(top.Total(), 29 * kGB);
        const std::vector<BigFileItem> items = top.TakeSorted();
        EXPECT_EQ(Paths(items), c.kept);
        for (const BigFileItem& i : items) {
            EXPECT_EQ(i.tag, SourceTag::Other);
            EXPECT_EQ(i.level, 3);
            EXPECT_EQ(i.risk, core::Risk::High);
        }
    }
}

TEST(TopFilesTest, AddSaysWhetherTheFileIsKept) {
    TopFiles top(2, 10);
    EXPECT_FALSE(top.Add(File(L"C:\\tiny", 9)));
    EXPECT_TRUE(top.Add(File(L"C:\\b", 20)));
    EXPECT_TRUE(top.Add(File(L"C:\\c", 20)));
    EXPECT_FALSE(top.Add(File(L"C:\\d", 20)));  // ties with the last kept and comes after it
    EXPECT_TRUE(top.Add(File(L"C:\\a", 20)));   // ties and comes before: "c" gives way
    EXPECT_TRUE(top.Add(File(L"C:\\z", 30)));
    EXPECT_EQ(Paths(top.TakeSorted()), (std::vector<std::wstring>{L"C:\\z", L"C:\\a"}));
    EXPECT_EQ(top.Count(), 5u);
    EXPECT_EQ(top.Total(), 110u);
}

}  // namespace
}  // namespace purvex::bigfiles
