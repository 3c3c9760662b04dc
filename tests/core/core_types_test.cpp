#include <gtest/gtest.h>
#include <thread>
#include <vector>

#include "core/cancel_token.h"
#include "core/delete_types.h"
#include "core/progress.h"

namespace purvex::core {
namespace {

std::uint64_t g_now = 0;
std::uint64_t FakeTick() {
    return g_now;
}

TEST(ProgressThrottleTest, PassesFirstThenOnePerInterval) {
    std::vector<double> seen;
    ProgressThrottle throttle([&](const Progress& p) { seen.push_back(p.fraction); }, &FakeTick);
    g_now = 1000;
    throttle.Report({0.1});
    g_now = 1010;
    throttle.Report({0.2});
    g_now = 1060;
    throttle.Report({0.3});
    g_now = 1061;
    throttle.Report({1.0}, true);
    EXPECT_EQ(seen, (std::vector<double>{0.1, 0.3, 1.0}));
}

TEST(ProgressThrottleTest, PassesIndeterminateUnchangedAndToleratesEmptyCallback) {
    Progress received;
    ProgressThrottle throttle([&](const Progress& p) { received = p; }, &FakeTick);
    g_now = 5000;
    throttle.Report({-1.0, L"C:\\x", 7, 3});
    EXPECT_EQ(received.fraction, -1.0);
    EXPECT_EQ(received.current, L"C:\\x");
    EXPECT_EQ(received.bytes, 7u);
    EXPECT_EQ(received.items, 3u);

    ProgressThrottle empty(nullptr, &FakeTick);
    empty.Report({0.5}, true);  // must not crash
}

TEST(ProgressThrottleTest, OneOfManySimultaneousReportersPerInterval) {
    std::atomic<int> calls{0};
    ProgressThrottle throttle([&](const Progress&) { ++calls; }, &FakeTick);
    g_now = 9000;
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([&] {
            for (int k = 0; k < 1000; ++k) {
                throttle.Report({0.5});
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    EXPECT_EQ(calls.load(), 1);
}

TEST(CancelTokenTest, StaysCancelled) {
    CancelToken token;
    EXPECT_FALSE(token.IsCancelled());
    token.Cancel();
    token.Cancel();
    EXPECT_TRUE(token.IsCancelled());
}

TEST(DeleteReportTest, TotalsFollowOutcomes) {
    DeleteReport report;
    AddResult(report, {L"a", 0, DeleteOutcome::NotFound, 2});
    AddResult(report, {L"b", 1000, DeleteOutcome::Deleted, 0});
    DeleteRequest inUse{L"c", 500};
    AddResult(report, NotRemovedResult(inUse, DeleteOutcome::InUse, 32));
    EXPECT_EQ(report.bytesFreed, 1000u);
    EXPECT_EQ(report.removedCount, 2u);
    EXPECT_EQ(report.failedCount, 1u);
    ASSERT_EQ(report.items.size(), 3u);
    EXPECT_EQ(report.items[2].bytes, 500u);
    EXPECT_EQ(report.items[2].error, 32u);
    EXPECT_EQ(report.removedCount + report.failedCount, report.items.size());
}

TEST(DeleteOutcomeTest, FixedNumbersNamesAndRemovalRule) {
    struct Row {
        int value;
        const char* name;
        bool removed;
        bool frees;
    };
    const Row rows[] = {
        {0, "Deleted", true, true},
        {1, "Recycled", true, true},
        {2, "ScheduledOnReboot", false, false},
        {3, "InUse", false, false},
        {4, "AccessDenied", false, false},
        {5, "NotFound", true, false},
        {6, "Blocked", false, false},
        {7, "Changed", false, false},
        {8, "Cancelled", false, false},
        {9, "Failed", false, false},
        {12, "Unknown", false, false},
    };
    for (const Row& row : rows) {
        const auto outcome = static_cast<DeleteOutcome>(row.value);
        EXPECT_EQ(DeleteOutcomeName(outcome), row.name) << row.value;
        EXPECT_EQ(CountsAsRemoved(outcome), row.removed) << row.value;
        EXPECT_EQ(FreesBytes(outcome), row.frees) << row.value;
    }
    EXPECT_EQ(sizeof(DeleteOutcome), 1u);
    EXPECT_EQ(sizeof(Risk), 1u);
    EXPECT_EQ(sizeof(DeleteMode), 1u);
    EXPECT_EQ(static_cast<int>(Risk::Locked), 4);
    EXPECT_EQ(static_cast<int>(DeleteMode::Recycle), 1);
    EXPECT_EQ(RiskKey(Risk::None), "common.risk.none");
    EXPECT_EQ(DeleteOutcomeKey(DeleteOutcome::ScheduledOnReboot),
              "common.outcome.scheduled_on_reboot");
}

}  // namespace
}  // namespace purvex::core
