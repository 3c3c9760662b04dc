#include "core/fs/ntfs/path_index_cache.h"

#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace purvex::core {
namespace {

class FakeIndex final : public PathIndex {
public:
    wchar_t DriveLetter() const override { return L'C'; }
    std::uint64_t EntryCount() const override { return 0; }
    bool Get(std::uint64_t, IndexEntry&) const override { return false; }
    std::wstring FullPath(std::uint64_t) const override { return {}; }
    std::uint64_t TotalSize(std::uint64_t) const override { return 0; }
    void ForEach(const IndexEntryCallback&) const override {}
    void ForEachChild(std::uint64_t, const IndexEntryCallback&) const override {}
};

// A clock that moves only when told, and a builder whose results are scripted.
struct Harness {
    std::atomic<std::int64_t> seconds{0};
    std::atomic<int> builds{0};
    std::function<MftStatus(int)> result = [](int) { return MftStatus::Ok; };
    std::function<void()> during = [] {};

    PathIndexCache MakeCache() {
        return PathIndexCache(
            [this](wchar_t, CancelToken&, const ProgressCallback&, MftStatus* status) {
                const int n = ++builds;
                during();
                *status = result(n);
                return *status == MftStatus::Ok ? std::make_unique<FakeIndex>() : nullptr;
            },
            [this] {
                return std::chrono::steady_clock::time_point(std::chrono::seconds(seconds));
            });
    }
};

TEST(PathIndexCache, ReusesAnIndexForLessThanMaxAgeSeconds) {
    Harness h;
    PathIndexCache cache = h.MakeCache();
    CancelToken cancel;
    MftStatus status = MftStatus::BadFormat;
    auto first = cache.Acquire(L'c', 3600, cancel, nullptr, &status);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(status, MftStatus::Ok);
    h.seconds = 3599;
    EXPECT_EQ(cache.Acquire(L'C', 3600, cancel, nullptr, &status), first);
    EXPECT_EQ(h.builds, 1);
    h.seconds = 3600;
    auto second = cache.Acquire(L'C', 3600, cancel, nullptr, &status);
    EXPECT_NE(second, first);
    EXPECT_EQ(h.builds, 2);
    EXPECT_NE(cache.Acquire(L'D', 3600, cancel, nullptr, &status), second);
    EXPECT_EQ(h.builds, 3);
}

TEST(PathIndexCache, FailuresAreNotRemembered) {
    Harness h;
    h.result = [](int n) { return n == 1 ? MftStatus::NoAccess : MftStatus::Ok; };
    PathIndexCache cache = h.MakeCache();
    CancelToken cancel;
    MftStatus status = MftStatus::Ok;
    EXPECT_EQ(cache.Acquire(L'C', 3600, cancel, nullptr, &status), nullptr);
    EXPECT_EQ(status, MftStatus::NoAccess);
    EXPECT_NE(cache.Acquire(L'C', 3600, cancel, nullptr, &status), nullptr);
    EXPECT_EQ(status, MftStatus::Ok);
    EXPECT_EQ(h.builds, 2);
}

TEST(PathIndexCache, BuilderThatThrowsOrReturnsNothingIsBadFormat) {
    Harness h;
    PathIndexCache throwing(
        [&](wchar_t, CancelToken&, const ProgressCallback&,
            MftStatus*) -> std::unique_ptr<PathIndex> {
            ++h.builds;
            throw std::runtime_error("broken");
        },
        [] { return std::chrono::steady_clock::time_point(); });
    PathIndexCache empty(
        [](wchar_t, CancelToken&, const ProgressCallback&, MftStatus* status) {
            *status = MftStatus::Ok;
            return std::unique_ptr<PathIndex>();
        },
        [] { return std::chrono::steady_clock::time_point(); });
    CancelToken cancel;
    MftStatus status = MftStatus::Ok;
    EXPECT_EQ(throwing.Acquire(L'C', 3600, cancel, nullptr, &status), nullptr);
    EXPECT_EQ(status, MftStatus::BadFormat);
    EXPECT_EQ(throwing.Acquire(L'C', 3600, cancel, nullptr, &status), nullptr);
    EXPECT_EQ(h.builds, 2);
    status = MftStatus::Ok;
    EXPECT_EQ(empty.Acquire(L'C', 3600, cancel, nullptr, &status), nullptr);
    EXPECT_EQ(status, MftStatus::BadFormat);
}

// The second caller either waits for the first build or arrives after it: either way one
// build serves both.
TEST(PathIndexCache, ConcurrentCallersShareOneBuild) {
    Harness h;
    std::promise<void> started;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    h.during = [&, released] {
        started.set_value();
        released.wait();
    };
    PathIndexCache cache = h.MakeCache();
    CancelToken cancel;
    auto first = std::async(std::launch::async,
                            [&] { return cache.Acquire(L'C', 3600, cancel, nullptr, nullptr); });
    started.get_future().wait();
    auto second = std::async(std::launch::async, [&] {
        MftStatus status = MftStatus::BadFormat;
        auto index = cache.Acquire(L'C', 3600, cancel, nullptr, &status);
        EXPECT_EQ(status, MftStatus::Ok);
        return index;
    });
    release.set_value();
    auto a = first.get();
    auto b = second.get();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_EQ(h.builds, 1);
}

TEST(PathIndexCache, WaiterBuildsWithItsOwnTokenWhenTheBuilderWasCancelled) {
    Harness h;
    std::promise<void> started;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    h.during = [&, released] {
        if (h.builds == 1) {
            started.set_value();
            released.wait();
        }
    };
    h.result = [](int n) { return n == 1 ? MftStatus::Cancelled : MftStatus::Ok; };
    PathIndexCache cache = h.MakeCache();
    CancelToken first;
    CancelToken second;
    auto a = std::async(std::launch::async, [&] {
        MftStatus status = MftStatus::Ok;
        auto index = cache.Acquire(L'C', 3600, first, nullptr, &status);
        EXPECT_EQ(status, MftStatus::Cancelled);
        return index;
    });
    started.get_future().wait();
    auto b = std::async(std::launch::async, [&] {
        MftStatus status = MftStatus::BadFormat;
        auto index = cache.Acquire(L'C', 3600, second, nullptr, &status);
        EXPECT_EQ(status, MftStatus::Ok);
        return index;
    });
    release.set_value();
    EXPECT_EQ(a.get(), nullptr);
    EXPECT_NE(b.get(), nullptr);
    EXPECT_EQ(h.builds, 2);
}

TEST(PathIndexCache, WaiterWhoseTokenIsSetGivesUp) {
    Harness h;
    std::promise<void> started;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    h.during = [&, released] {
        started.set_value();
        released.wait();
    };
    PathIndexCache cache = h.MakeCache();
    CancelToken builderToken;
    auto a = std::async(std::launch::async,
                        [&] { return cache.Acquire(L'C', 3600, builderToken, nullptr, nullptr); });
    started.get_future().wait();
    CancelToken waiterToken;
    waiterToken.Cancel();
    MftStatus status = MftStatus::Ok;
    EXPECT_EQ(cache.Acquire(L'C', 3600, waiterToken, nullptr, &status), nullptr);
    EXPECT_EQ(status, MftStatus::Cancelled);
    release.set_value();
    EXPECT_NE(a.get(), nullptr);
    EXPECT_EQ(h.builds, 1);
}

}  // namespace
}  // namespace purvex::core
