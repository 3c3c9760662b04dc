#include "core/fs/walker.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/fs/path_text.h"
#include "core/text.h"
#include "support/linux_symlink.h"
#include "support/log_capture.h"
#include "support/scratch_dir.h"

namespace purvex::core {
namespace {

// Everything a walk reported, relative to the scratch folder, safe for parallel callbacks.
struct Seen {
    std::mutex mutex;
    std::set<std::wstring> paths;
    std::vector<FileEntry> entries;

    WalkEntryCallback Collector(const std::wstring& base) {
        return [this, base](const FileEntry& e) {
            std::lock_guard lock(mutex);
            paths.insert(e.path.substr(std::min(e.path.size(), base.size() + 1)));
            entries.push_back(e);
            return true;
        };
    }
    bool Has(const std::wstring& relative) {
        std::lock_guard lock(mutex);
        return paths.count(relative) != 0;
    }
    const FileEntry* Find(const std::wstring& relative) {
        for (const FileEntry& e : entries) {
            if (e.path.size() >= relative.size() &&
                e.path.compare(e.path.size() - relative.size(), relative.size(), relative) == 0) {
                return &e;
            }
        }
        return nullptr;
    }
};

// root\a.txt (3), root\sub1\b.txt (5), root\sub1\deep\c.txt (7), root\sub2\d.txt (11),
// root\empty.
void MakeSmallTree(const test::ScratchDir& s) {
    s.MakeFile(L"root\\a.txt", "aaa");
    s.MakeFile(L"root\\sub1\\b.txt", "bbbbb");
    s.MakeFile(L"root\\sub1\\deep\\c.txt", "ccccccc");
    s.MakeFile(L"root\\sub2\\d.txt", "ddddddddddd");
    s.MakeDir(L"root\\empty");
}

WalkOptions Options(bool parallel, bool reportDirectories = false) {
    WalkOptions o;
    o.parallel = parallel;
    o.reportDirectories = reportDirectories;
    return o;
}

class WalkerModeTest : public ::testing::TestWithParam<bool> {};

TEST_P(WalkerModeTest, ReportsEveryFileAndFolderOnce) {
    test::ScratchDir s;
    MakeSmallTree(s);
    Seen seen;
    CancelToken token;
    const WalkStats stats =
        Walk(s.Sub(L"root"), Options(GetParam(), true), seen.Collector(s.Sub(L"root")), token);
    EXPECT_EQ(stats.files, 4u);
    EXPECT_EQ(stats.dirs, 4u);
    EXPECT_EQ(stats.bytes, 26u);
    EXPECT_EQ(stats.errors, 0u);
    EXPECT_EQ(seen.paths,
              (std::set<std::wstring>{L"a.txt", L"sub1", L"sub1\\b.txt", L"sub1\\deep",
                                      L"sub1\\deep\\c.txt", L"sub2", L"sub2\\d.txt", L"empty"}));
    EXPECT_EQ(seen.entries.size(), 8u);
    const FileEntry* c = seen.Find(L"\\sub1\\deep\\c.txt");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->size, 7u);
    EXPECT_EQ(c->fileId, 0u);
    EXPECT_NE(c->lastWriteTime, 0u);
    const FileEntry* sub = seen.Find(L"\\sub1");
    ASSERT_NE(sub, nullptr);
    EXPECT_TRUE(sub->attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(sub->size, 0u);
}

TEST_P(WalkerModeTest, NeverEntersLinksIncludingALoopAndOneLeavingTheRoot) {
    test::ScratchDir s;
    MakeSmallTree(s);
    s.MakeFile(L"guarded\\precious.dat", "keep");  // stands in for a protected folder
    test::LinuxSymlink loop(s, L"root\\sub1\\loop", L"root");
    test::LinuxSymlink out(s, L"root\\outside", L"guarded");
    test::LinuxSymlink sibling(s, L"root\\sub2\\to-sub1", L"root\\sub1");
    if (!loop.Made()) {
        GTEST_SKIP() << loop.Why();
    }
    Seen seen;
    CancelToken token;
    const WalkStats stats =
        Walk(s.Sub(L"root"), Options(GetParam()), seen.Collector(s.Sub(L"root")), token);
    // Folders are not reported here, but links always are, with their reparse bit.
    EXPECT_EQ(seen.paths, (std::set<std::wstring>{L"a.txt", L"sub1\\b.txt", L"sub1\\deep\\c.txt",
                                                  L"sub2\\d.txt", L"sub1\\loop", L"outside",
                                                  L"sub2\\to-sub1"}));
    for (const wchar_t* link : {L"\\sub1\\loop", L"\\outside", L"\\sub2\\to-sub1"}) {
        const FileEntry* e = seen.Find(link);
        ASSERT_NE(e, nullptr);
        EXPECT_TRUE(e->attributes & FILE_ATTRIBUTE_REPARSE_POINT);
        EXPECT_TRUE(e->attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    EXPECT_EQ(stats.files, 4u);
    EXPECT_EQ(stats.dirs, 7u);
    EXPECT_EQ(stats.errors, 0u);
}

TEST_P(WalkerModeTest, CallbackExceptionStopsTheWalkAndIsLogged) {
    test::LogCapture log;
    test::ScratchDir s;
    MakeSmallTree(s);
    CancelToken token;
    std::atomic<int> calls{0};
    const WalkStats stats = Walk(
        s.Sub(L"root"), Options(GetParam()),
        [&](const FileEntry&) -> bool {
            ++calls;
            throw std::runtime_error("consumer failed");
        },
        token);
    // The first throw stops the walk: sequentially nothing follows it, in parallel at most the
    // entries other threads were already reporting.
    EXPECT_GE(calls.load(), 1);
    EXPECT_EQ(stats.files, static_cast<std::uint64_t>(calls.load()));
    if (!GetParam()) {
        EXPECT_EQ(calls.load(), 1);
    }
    EXPECT_EQ(log.CountContaining("[ERROR]", "FsWalker: callback threw: consumer failed"),
              calls.load());
}

TEST_P(WalkerModeTest, CancelStopsTheWalkEarly) {
    test::ScratchDir s;
    for (int d = 0; d < 40; ++d) {
        for (int f = 0; f < 5; ++f) {
            s.MakeFile(L"root\\d" + std::to_wstring(d) + L"\\f" + std::to_wstring(f));
        }
    }
    CancelToken token;
    std::atomic<int> calls{0};
    const WalkStats stats = Walk(
        s.Sub(L"root"), Options(GetParam()),
        [&](const FileEntry&) {
            if (++calls == 10) {
                token.Cancel();
            }
            return true;
        },
        token);
    EXPECT_LT(stats.files, 200u);
    EXPECT_EQ(stats.files, static_cast<std::uint64_t>(calls.load()));
    token.Cancel();
    EXPECT_EQ(Walk(s.Sub(L"root"), Options(GetParam()), {}, token).files, 0u);
}

INSTANTIATE_TEST_SUITE_P(SequentialAndParallel, WalkerModeTest, ::testing::Bool(),
                         [](const auto& p) { return p.param ? "Parallel" : "Sequential"; });

TEST(WalkerTest, RootSpellingsGiveTheSameWalk) {
    test::ScratchDir s;
    MakeSmallTree(s);
    const std::wstring root = s.Sub(L"root");
    std::wstring slashed = root + L"/";
    std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
    CancelToken token;
    for (const std::wstring& spelling : {root, root + L"\\", root + L"\\\\", slashed,
                                         ToLongPath(root), ToLongPath(root) + L"\\"}) {
        Seen seen;
        const WalkStats stats = Walk(spelling, Options(false), seen.Collector(root), token);
        EXPECT_EQ(stats.files, 4u) << WideToUtf8(spelling);
        EXPECT_EQ(seen.paths.size(), 4u);
        EXPECT_TRUE(seen.Has(L"sub1\\deep\\c.txt"));
    }
}

TEST(WalkerTest, MissingRootAndFileRootGiveNothing) {
    test::ScratchDir s;
    const std::wstring file = s.MakeFile(L"plain.txt", "x");
    CancelToken token;
    int calls = 0;
    const auto count = [&](const FileEntry&) {
        ++calls;
        return true;
    };
    for (const std::wstring& root :
         {s.Sub(L"missing"), s.Sub(L"missing\\deeper"), file, std::wstring()}) {
        const WalkStats stats = Walk(root, Options(false), count, token);
        EXPECT_EQ(stats.files + stats.dirs + stats.bytes + stats.errors, 0u);
    }
    EXPECT_EQ(calls, 0);
}

TEST(WalkerTest, DepthLimitsAndNonRecursiveWalks) {
    test::ScratchDir s;
    MakeSmallTree(s);
    const std::wstring root = s.Sub(L"root");
    CancelToken token;
    struct Case {
        bool recursive;
        std::uint32_t maxDepth;
        bool parallel;
        std::set<std::wstring> files;
    };
    const std::vector<Case> cases = {
        {true, 0, true, {L"a.txt"}},
        {true, 1, false, {L"a.txt", L"sub1\\b.txt", L"sub2\\d.txt"}},
        {true, 1, true, {L"a.txt", L"sub1\\b.txt", L"sub2\\d.txt"}},
        {false, 0xFFFFFFFF, true, {L"a.txt"}},
    };
    for (const Case& c : cases) {
        WalkOptions o;
        o.recursive = c.recursive;
        o.maxDepth = c.maxDepth;
        o.parallel = c.parallel;
        Seen seen;
        Walk(root, o, seen.Collector(root), token);
        EXPECT_EQ(seen.paths, c.files) << c.recursive << " " << c.maxDepth << " " << c.parallel;
    }
}

TEST(WalkerTest, ReturningFalseStopsAtOnce) {
    test::ScratchDir s;
    for (int i = 0; i < 10; ++i) {
        s.MakeFile(L"root\\f" + std::to_wstring(i), "12");
    }
    CancelToken token;
    int calls = 0;
    const WalkStats stats = Walk(
        s.Sub(L"root"), Options(false), [&](const FileEntry&) { return ++calls < 3; }, token);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(stats.files, 3u);
    EXPECT_EQ(stats.bytes, 6u);
}

TEST(WalkerTest, SkippedSubfolderIsCountedButNotListed) {
    test::ScratchDir s;
    MakeSmallTree(s);
    const std::wstring root = s.Sub(L"root");
    Seen seen;
    CancelToken token;
    std::vector<std::wstring> asked;
    const WalkStats stats =
        Walk(root, Options(false), seen.Collector(root), token, [&](const std::wstring& dir) {
            asked.push_back(dir);
            return FileNamePart(dir) != L"sub1";
        });
    EXPECT_EQ(seen.paths, (std::set<std::wstring>{L"a.txt", L"sub2\\d.txt"}));
    EXPECT_EQ(stats.dirs, 3u);
    EXPECT_EQ(asked.size(), 3u);
}

TEST(WalkerTest, VeryLongPathsAreWalked) {
    test::ScratchDir s;
    std::wstring relative = L"root";
    const std::wstring segment(120, L'n');
    while (s.Sub(relative).size() < 1100) {
        relative += L"\\" + segment;
    }
    s.MakeFile(relative + L"\\deep.bin", "0123456789");
    // One file just past the classic limit as well.
    std::wstring mid = L"root";
    while (s.Sub(mid).size() < 270) {
        mid += L"\\m" + std::to_wstring(mid.size());
    }
    s.MakeFile(mid + L"\\mid.bin", "01");
    Seen seen;
    CancelToken token;
    const WalkStats stats = Walk(s.Sub(L"root"), Options(true), seen.Collector(s.Path()), token);
    EXPECT_EQ(stats.files, 2u);
    EXPECT_EQ(stats.errors, 0u);
    EXPECT_TRUE(seen.Has(relative + L"\\deep.bin"));
    EXPECT_TRUE(seen.Has(mid + L"\\mid.bin"));
    EXPECT_GT(s.Sub(relative).size(), 1000u);
}

TEST(WalkerTest, NamesWithTrailingDotsAndSpacesKeepTheirSpelling) {
    test::ScratchDir s;
    const std::wstring odd = s.MakeDir(L"root");
    const std::wstring dotDir = odd + L"\\dots..";
    ASSERT_TRUE(CreateDirectoryW(ToLongPath(dotDir).c_str(), nullptr));
    const std::wstring spaced = dotDir + L"\\spaced  ";
    HANDLE f = CreateFileW(ToLongPath(spaced).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    CloseHandle(f);
    s.MakeFile(L"root\\dots\\decoy.txt", "decoy");  // what the name means without its dots

    CancelToken token;
    Seen seen;
    Walk(odd, Options(false), seen.Collector(odd), token);
    EXPECT_TRUE(seen.Has(L"dots..\\spaced  "));
    EXPECT_TRUE(seen.Has(L"dots\\decoy.txt"));

    // A literal root names exactly that folder, not the one without the dots.
    Seen literal;
    Walk(ToLongPath(dotDir), Options(false), literal.Collector(dotDir), token);
    EXPECT_EQ(literal.paths, (std::set<std::wstring>{L"spaced  "}));

    DeleteFileW(ToLongPath(spaced).c_str());
    RemoveDirectoryW(ToLongPath(dotDir).c_str());
}

TEST(WalkerTest, FoldersRemovedOrSwappedForALinkDuringTheWalkAreNotEntered) {
    test::ScratchDir s;
    s.MakeFile(L"root\\gone\\lost.txt");
    s.MakeFile(L"root\\swapped\\orig.txt");
    s.MakeFile(L"guarded\\precious.dat", "keep");
    s.MakeFile(L"root\\stays\\kept.txt");
    std::unique_ptr<test::LinuxSymlink> link;
    const std::wstring root = s.Sub(L"root");
    Seen seen;
    CancelToken token;
    // enterDir runs after a folder was seen and before it is listed: the moment to pull it
    // away or put a link in its place.
    const WalkStats stats =
        Walk(root, Options(false), seen.Collector(root), token, [&](const std::wstring& dir) {
            const std::wstring name = FileNamePart(dir);
            if (name == L"gone") {
                DeleteFileW(ToLongPath(dir + L"\\lost.txt").c_str());
                RemoveDirectoryW(ToLongPath(dir).c_str());
            } else if (name == L"swapped") {
                MoveFileW(ToLongPath(dir).c_str(), ToLongPath(s.Sub(L"moved")).c_str());
                link = std::make_unique<test::LinuxSymlink>(s, L"root\\swapped", L"guarded");
            }
            return true;
        });
    if (link && !link->Made()) {
        GTEST_SKIP() << link->Why();
    }
    EXPECT_EQ(seen.paths, (std::set<std::wstring>{L"stays\\kept.txt"}));
    EXPECT_EQ(stats.errors, 0u);
}

}  // namespace
}  // namespace purvex::core
