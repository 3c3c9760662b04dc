#include "core/task_runner.h"

#include <windows.h>

#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "support/log_capture.h"

namespace purvex::core {
namespace {

TEST(TaskRunnerTest, WorkerCountStaysWithinTwoToEight) {
    const unsigned n = TaskRunner::DefaultWorkerCount();
    EXPECT_GE(n, 2u);
    EXPECT_LE(n, 8u);
    EXPECT_EQ(TaskRunner::Instance().WorkerCount(), n);
}

TEST(TaskRunnerTest, ParallelForWithNothingToDoReturnsAtOnce) {
    TaskRunner runner(2);
    CancelToken token;
    std::atomic<int> calls{0};
    runner.ParallelFor(
        0, [&](std::uint64_t) { ++calls; }, token);
    runner.ParallelFor(5, TaskRunner::Body{}, token);
    EXPECT_EQ(calls.load(), 0);
}

TEST(TaskRunnerTest, ParallelForOfOneRunsOnTheCaller) {
    TaskRunner runner(2);
    CancelToken token;
    std::thread::id ranOn;
    runner.ParallelFor(
        1,
        [&](std::uint64_t i) {
            EXPECT_EQ(i, 0u);
            ranOn = std::this_thread::get_id();
        },
        token);
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(TaskRunnerTest, ParallelForRunsEveryIndexOnceAcrossThreads) {
    TaskRunner runner(4);
    CancelToken token;
    constexpr std::uint64_t kCount = 20000;
    std::vector<std::atomic<int>> hits(kCount);
    std::mutex mutex;
    std::set<std::thread::id> threads;
    runner.ParallelFor(
        kCount,
        [&](std::uint64_t i) {
            hits[i].fetch_add(1);
            if (i % 64 == 0) {
                std::lock_guard lock(mutex);
                threads.insert(std::this_thread::get_id());
            }
        },
        token);
    for (std::uint64_t i = 0; i < kCount; ++i) {
        ASSERT_EQ(hits[i].load(), 1) << "index " << i;
    }
    EXPECT_GE(threads.size(), 1u);
}

TEST(TaskRunnerTest, CancelledTokenRunsNoIndex) {
    TaskRunner runner(2);
    CancelToken token;
    token.Cancel();
    std::atomic<int> calls{0};
    runner.ParallelFor(
        100, [&](std::uint64_t) { ++calls; }, token);
    EXPECT_EQ(calls.load(), 0);
}

TEST(TaskRunnerTest, CancelDuringTheLoopStartsNoLaterIndex) {
    TaskRunner runner(2);
    CancelToken token;
    std::atomic<std::uint64_t> highest{0};
    runner.ParallelFor(
        100000,
        [&](std::uint64_t i) {
            std::uint64_t seen = highest.load();
            while (i > seen && !highest.compare_exchange_weak(seen, i)) {
            }
            if (i == 10) {
                token.Cancel();
            }
        },
        token);
    // Indices already claimed when the token flipped may still run; nothing near the end does.
    EXPECT_LT(highest.load(), 1000u);
}

TEST(TaskRunnerTest, ThrowingBodyIsContainedAndLoggedOnce) {
    test::LogCapture log;
    TaskRunner runner(2);
    CancelToken token;
    std::vector<std::atomic<int>> hits(10);
    runner.ParallelFor(
        10,
        [&](std::uint64_t i) {
            hits[i].fetch_add(1);
            if (i == 3) {
                throw std::runtime_error("bad index");
            }
        },
        token);
    for (auto& h : hits) {
        EXPECT_EQ(h.load(), 1);
    }
    EXPECT_EQ(
        log.CountContaining("[ERROR]", "TaskRunner::ParallelFor: unhandled exception: bad index"),
        1);
}

TEST(TaskRunnerTest, ThrowingTaskIsLoggedAndTheWorkerGoesOn) {
    test::LogCapture log;
    TaskRunner runner(1);
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    runner.Post([] { throw std::runtime_error("task failed"); });
    runner.Post([] { throw 42; });
    runner.Post([done] { SetEvent(done); });
    EXPECT_EQ(WaitForSingleObject(done, 30000), WAIT_OBJECT_0);
    CloseHandle(done);
    EXPECT_EQ(log.CountContaining("[ERROR]", "TaskRunner task: unhandled exception: task failed"),
              1);
    EXPECT_EQ(log.CountContaining("[ERROR]", "TaskRunner task: unhandled non-standard exception"),
              1);
}

TEST(TaskRunnerTest, PostsRunInOrderOnASingleWorker) {
    TaskRunner runner(1);
    std::vector<int> order;
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    for (int i = 0; i < 100; ++i) {
        runner.Post([&order, i] { order.push_back(i); });
    }
    runner.Post([done] { SetEvent(done); });
    ASSERT_EQ(WaitForSingleObject(done, 30000), WAIT_OBJECT_0);
    CloseHandle(done);
    ASSERT_EQ(order.size(), 100u);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(order[i], i);
    }
}

TEST(TaskRunnerTest, ShutdownDropsQueuedTasksAndLaterPosts) {
    TaskRunner runner(1);
    HANDLE started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> ran{0};
    runner.Post([&] {
        SetEvent(started);
        WaitForSingleObject(release, 30000);
        ++ran;
    });
    ASSERT_EQ(WaitForSingleObject(started, 30000), WAIT_OBJECT_0);
    runner.Post([&] { ran += 100; });  // queued behind the blocked task

    std::thread stopper([&] { runner.Shutdown(); });
    // Shutdown must wait for the running task; let it finish only after stopping was set.
    while (!runner.IsStopping()) {
        Sleep(1);
    }
    SetEvent(release);
    stopper.join();
    runner.Post([&] { ran += 1000; });
    runner.Shutdown();  // a second call is harmless
    EXPECT_EQ(ran.load(), 1);
    CloseHandle(started);
    CloseHandle(release);
}

TEST(TaskRunnerTest, ParallelForAfterShutdownStillRunsOnTheCaller) {
    TaskRunner runner(2);
    runner.Shutdown();
    CancelToken token;
    std::atomic<int> calls{0};
    runner.ParallelFor(
        50, [&](std::uint64_t) { ++calls; }, token);
    EXPECT_EQ(calls.load(), 50);
}

TEST(TaskRunnerTest, NestedParallelForFromWorkersCompletes) {
    TaskRunner runner(2);
    CancelToken token;
    std::atomic<int> inner{0};
    runner.ParallelFor(
        8,
        [&](std::uint64_t) {
            runner.ParallelFor(
                100, [&](std::uint64_t) { ++inner; }, token);
        },
        token);
    EXPECT_EQ(inner.load(), 800);
}

}  // namespace
}  // namespace purvex::core
