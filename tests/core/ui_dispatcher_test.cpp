#include "core/ui_dispatcher.h"

#include <windows.h>

#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "core/post_if_alive.h"
#include "core/task_runner.h"
#include "support/log_capture.h"

namespace purvex::core {
namespace {

// Takes every wake-up message waiting for this thread, then delivers them, and returns how
// many there were.
int PumpWakeUps() {
    std::vector<MSG> pending;
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, UiDispatcher::kWakeMessage, UiDispatcher::kWakeMessage,
                        PM_REMOVE)) {
        pending.push_back(msg);
    }
    for (const MSG& m : pending) {
        DispatchMessageW(&m);
    }
    return static_cast<int>(pending.size());
}

void PumpAll() {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&msg);
    }
}

TEST(UiDispatcherTest, ThousandPostsFromAWorkerNeedOneWakeUpAndKeepOrder) {
    UiDispatcher dispatcher;
    ASSERT_TRUE(dispatcher.Start());
    TaskRunner runner(2);
    std::vector<int> order;
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    runner.Post([&] {
        for (int i = 0; i < 1000; ++i) {
            dispatcher.Post([&order, i] {
                EXPECT_EQ(GetCurrentThreadId(), GetCurrentThreadId());
                order.push_back(i);
            });
        }
        SetEvent(done);
    });
    ASSERT_EQ(WaitForSingleObject(done, 30000), WAIT_OBJECT_0);
    CloseHandle(done);
    EXPECT_EQ(PumpWakeUps(), 1);
    ASSERT_EQ(order.size(), 1000u);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(order[i], i);
    }
    EXPECT_EQ(PumpWakeUps(), 0);
}

TEST(UiDispatcherTest, CallbacksRunOnTheUiThreadAndMayPostMore) {
    UiDispatcher dispatcher;
    ASSERT_TRUE(dispatcher.Start());
    EXPECT_EQ(dispatcher.UiThreadId(), GetCurrentThreadId());
    std::vector<int> order;
    DWORD ranOn = 0;
    std::thread poster([&] {
        dispatcher.Post([&] {
            ranOn = GetCurrentThreadId();
            order.push_back(1);
            dispatcher.Post([&] { order.push_back(3); });
        });
        dispatcher.Post([&] { order.push_back(2); });
    });
    poster.join();
    EXPECT_EQ(PumpWakeUps(), 1);
    EXPECT_EQ(ranOn, GetCurrentThreadId());
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(UiDispatcherTest, ThrowingCallbackIsLoggedAndTheRestStillRun) {
    test::LogCapture log;
    UiDispatcher dispatcher;
    ASSERT_TRUE(dispatcher.Start());
    int ran = 0;
    dispatcher.Post([] { throw std::runtime_error("boom"); });
    dispatcher.Post([] { throw 7; });
    dispatcher.Post([&] { ++ran; });
    PumpWakeUps();
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(log.CountContaining("[ERROR]", "UiDispatcher: callback threw: boom"), 1);
    EXPECT_EQ(log.CountContaining("[ERROR]", "UiDispatcher: callback threw a non-standard"), 1);
}

TEST(UiDispatcherTest, NothingRunsAfterStop) {
    UiDispatcher dispatcher;
    ASSERT_TRUE(dispatcher.Start());
    int ran = 0;
    dispatcher.Post([&] { ++ran; });  // queued, never delivered: Stop drops it
    dispatcher.Stop();
    dispatcher.Post([&] { ++ran; });
    PumpAll();
    EXPECT_EQ(ran, 0);
    EXPECT_FALSE(dispatcher.Running());
}

TEST(UiDispatcherTest, PostBeforeStartIsDiscarded) {
    UiDispatcher dispatcher;
    int ran = 0;
    dispatcher.Post([&] { ++ran; });
    ASSERT_TRUE(dispatcher.Start());
    PumpAll();
    EXPECT_EQ(ran, 0);
}

TEST(UiDispatcherTest, StopFromAnotherThreadLeavesNoCallbackBehind) {
    auto dispatcher = std::make_unique<UiDispatcher>();
    ASSERT_TRUE(dispatcher->Start());
    int ran = 0;
    dispatcher->Post([&] { ++ran; });
    std::thread([&] { dispatcher->Stop(); }).join();
    dispatcher.reset();
    // The wake-up and the close request are still queued for a window whose dispatcher is gone.
    PumpAll();
    EXPECT_EQ(ran, 0);
}

TEST(UiDispatcherTest, ExitOrderLeavesNoWorkerPostingToTheGoneWindow) {
    auto dispatcher = std::make_unique<UiDispatcher>();
    ASSERT_TRUE(dispatcher->Start());
    TaskRunner runner(2);
    std::atomic<int> posted{0};
    int delivered = 0;
    for (int t = 0; t < 4; ++t) {
        runner.Post([&] {
            for (int i = 0; i < 2000; ++i) {
                dispatcher->Post([&] { ++delivered; });
                ++posted;
            }
        });
    }
    // As at exit: the pool first (running tasks finish, queued ones are dropped), then the
    // dispatcher with whatever was still undelivered.
    runner.Shutdown();
    const int postedBeforeStop = posted.load();
    dispatcher->Stop();
    dispatcher.reset();
    PumpAll();
    EXPECT_EQ(posted.load(), postedBeforeStop);
    EXPECT_EQ(postedBeforeStop % 2000, 0);
    EXPECT_EQ(delivered, 0);
}

TEST(PostIfAliveTest, DropsTheCallbackOnceThePageHasGone) {
    UiDispatcher dispatcher;
    ASSERT_TRUE(dispatcher.Start());
    auto page = MakeAliveToken();
    auto payload = std::make_unique<int>(5);
    int delivered = 0;
    int dropped = 0;
    PostIfAlive(
        page, [&, p = std::move(payload)] { delivered += *p; }, dispatcher);
    PumpWakeUps();
    EXPECT_EQ(delivered, 5);

    TaskRunner runner(2);
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::weak_ptr<int> weak = page;
    runner.Post([&, weak] {
        PostIfAlive(
            weak, [&] { ++dropped; }, dispatcher);
        SetEvent(done);
    });
    ASSERT_EQ(WaitForSingleObject(done, 30000), WAIT_OBJECT_0);
    CloseHandle(done);
    page.reset();  // the page closes while its result is on the way
    PumpWakeUps();
    EXPECT_EQ(dropped, 0);
}

}  // namespace
}  // namespace purvex::core
