#include "modules/junk/clean_plan.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "modules/junk/execute_plan.h"
#include "modules/junk/prune_scan_result.h"
#include "modules/junk/scale_progress.h"
#include "support/log_capture.h"

namespace purvex::junk {
namespace {

using core::DeleteOutcome;
using core::Risk;

JunkGroup Group(const char* id, Risk risk, bool selected, std::vector<std::wstring> roots,
                std::vector<std::pair<std::wstring, std::uint64_t>> files,
                std::vector<std::uint32_t> itemRoots) {
    JunkGroup group;
    group.id = id;
    group.risk = risk;
    group.defaultSelected = selected;
    group.roots = std::move(roots);
    for (const auto& [path, size] : files) {
        core::FileEntry entry;
        entry.path = path;
        entry.size = size;
        entry.lastWriteTime = 0x01D9000000000000ull + size;
        entry.attributes = 0x20;
        group.items.push_back(entry);
        group.totalBytes += size;
    }
    group.itemRoots = std::move(itemRoots);
    return group;
}

JunkGroup RecycleBin(std::uint64_t bytes) {
    JunkGroup group;
    group.id = "junk.recyclebin";
    group.risk = Risk::High;
    group.isRecycleBin = true;
    group.totalBytes = bytes;
    group.recycleCount = 4;
    return group;
}

// A result with one group of each kind the plans must tell apart.
ScanResult MixedResult() {
    ScanResult result;
    result.groups.push_back(Group("junk.temp", Risk::Low, true, {L"C:\\T", L"C:\\U"},
                                  {{L"C:\\T\\a", 30}, {L"C:\\U\\b", 20}, {L"C:\\X\\c", 10}},
                                  {0, 1, 7}));
    result.groups.push_back(
        Group("junk.prefetch", Risk::Medium, false, {L"C:\\P"}, {{L"C:\\P\\x.pf", 5}}, {0}));
    result.groups.push_back(
        Group("junk.dumps", Risk::High, false, {L"C:\\W"}, {{L"C:\\W\\MEMORY.DMP", 9}}, {0}));
    JunkGroup deep = Group("junk.deep.c:\\app", Risk::Low, true, {L"C:\\App\\Cache"},
                           {{L"C:\\App\\Cache\\d", 7}}, {});
    deep.isDeep = true;
    result.groups.push_back(deep);
    result.groups.push_back(
        Group("x.locked", Risk::Locked, true, {L"C:\\L"}, {{L"C:\\L\\l", 3}}, {0}));
    result.groups.push_back(RecycleBin(500));
    return result;
}

std::vector<std::wstring> Paths(const CleanPlan& plan) {
    std::vector<std::wstring> paths;
    for (const core::DeleteRequest& request : plan.requests) {
        paths.push_back(request.path + L"|" + request.root);
    }
    return paths;
}

TEST(CleanPlanTest, SafePlanTakesOnlyLowRiskDefaultGroupsWithKnownRoots) {
    const CleanPlan plan = BuildSafePlan(MixedResult());
    EXPECT_EQ(Paths(plan), (std::vector<std::wstring>{L"C:\\T\\a|C:\\T", L"C:\\U\\b|C:\\U"}));
    EXPECT_FALSE(plan.emptyRecycleBin);
    EXPECT_EQ(plan.recycleBinBytes, 0u);
    const core::DeleteRequest& first = plan.requests.front();
    EXPECT_EQ(first.expectedSize, 30u);
    EXPECT_EQ(first.expectedWriteTime, 0x01D9000000000000ull + 30);
    EXPECT_EQ(first.expectedAttributes, 0x20u);
}

TEST(CleanPlanTest, SelectionPlanFollowsTheTicksButNeverALockedGroup) {
    const ScanResult result = MixedResult();
    JunkSelection selection(result.groups.size());
    selection[0].items = {true, false, true};  // the third has no valid root
    selection[2].items = {true};
    selection[3].items = {true};  // deep group: its only root stands in for the missing index
    selection[4].items = {true};
    selection[5].group = true;
    const CleanPlan plan = BuildSelectionPlan(result, selection);
    EXPECT_EQ(Paths(plan), (std::vector<std::wstring>{L"C:\\T\\a|C:\\T", L"C:\\W\\MEMORY.DMP|C:\\W",
                                                      L"C:\\App\\Cache\\d|C:\\App\\Cache"}));
    EXPECT_TRUE(plan.emptyRecycleBin);
    EXPECT_EQ(plan.recycleBinBytes, 500u);

    const CleanPlan none = BuildSelectionPlan(result, JunkSelection(2));
    EXPECT_TRUE(none.requests.empty());
    EXPECT_FALSE(none.emptyRecycleBin);
}

TEST(CleanPlanTest, ResultGoesStaleAfterSixtyMinutes) {
    constexpr std::uint64_t kMinute = 60'000'000'000ull;
    ScanResult result;
    result.finishedAt = 1000 * kMinute;
    const struct {
        std::uint64_t now;
        bool stale;
    } cases[] = {
        {result.finishedAt + 59 * kMinute, false},    {result.finishedAt + 60 * kMinute, false},
        {result.finishedAt + 60 * kMinute + 1, true}, {result.finishedAt + 61 * kMinute, true},
        {result.finishedAt - kMinute, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsStale(result, c.now), c.stale) << c.now;
    }
}

TEST(CleanPlanTest, ScaleProgressMapsFractionsOntoItsShare) {
    EXPECT_FALSE(ScaleProgress({}, 0.15, 1));
    const struct {
        double from, to, in, out;
    } cases[] = {{0.15, 1, 0.5, 0.575}, {0.15, 1, -1, -1}, {0.15, 1, -0.2, -1}, {0, 0.15, 1, 0.15}};
    for (const auto& c : cases) {
        core::Progress seen;
        const auto scaled = ScaleProgress([&](const core::Progress& p) { seen = p; }, c.from, c.to);
        scaled(core::Progress{c.in, L"C:\\x", 7, 3});
        EXPECT_DOUBLE_EQ(seen.fraction, c.out);
        EXPECT_EQ(seen.current, L"C:\\x");
        EXPECT_EQ(seen.bytes, 7u);
        EXPECT_EQ(seen.items, 3u);
    }
}

TEST(ExecutePlanRecycleBinTest, EmptyingThroughTheHookIsReportedAndLogged) {
    const struct {
        bool ok;
        DeleteOutcome outcome;
        std::uint64_t bytes;
        const char* logLine;
        bool groupStays;
    } cases[] = {
        {true, DeleteOutcome::Deleted, 1000, "junk: recycle bin emptied, 1000 bytes", false},
        {false, DeleteOutcome::Failed, 500, "junk: recycle bin could not be emptied, 0 bytes",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.logLine);
        test::LogCapture log;
        CleanPlan plan;
        plan.emptyRecycleBin = true;
        plan.recycleBinBytes = 500;
        core::CancelToken cancel;
        const core::DeleteReport report =
            ExecutePlan(plan, core::DeleteMode::Permanent, cancel, {}, [&](std::uint64_t* freed) {
                *freed = c.ok ? 1000 : 0;
                return c.ok;
            });
        ASSERT_EQ(report.items.size(), 1u);
        EXPECT_EQ(report.items[0].path, L"$Recycle.Bin");
        EXPECT_EQ(report.items[0].outcome, c.outcome);
        EXPECT_EQ(report.items[0].bytes, c.bytes);
        EXPECT_EQ(report.removedCount, c.ok ? 1u : 0u);
        EXPECT_EQ(report.failedCount, c.ok ? 0u : 1u);
        EXPECT_EQ(report.bytesFreed, c.ok ? 1000u : 0u);
        EXPECT_EQ(log.CountContaining(c.logLine), 1);

        ScanResult before;
        before.groups.push_back(RecycleBin(500));
        EXPECT_EQ(PruneScanResult(before, report)->groups.size(), c.groupStays ? 1u : 0u);
    }
}

TEST(ExecutePlanRecycleBinTest, CancelledOrEmptyPlansDoNothing) {
    test::LogCapture log;
    CleanPlan binOnly;
    binOnly.emptyRecycleBin = true;
    core::CancelToken cancelled;
    cancelled.Cancel();
    int hookCalls = 0;
    int progressCalls = 0;
    const auto hook = [&](std::uint64_t*) { return ++hookCalls > 0; };
    const auto progress = [&](const core::Progress&) { ++progressCalls; };

    const core::DeleteReport skipped =
        ExecutePlan(binOnly, core::DeleteMode::Permanent, cancelled, progress, hook);
    core::CancelToken fresh;
    const core::DeleteReport empty =
        ExecutePlan(CleanPlan{}, core::DeleteMode::Permanent, fresh, progress, hook);
    for (const core::DeleteReport* report : {&skipped, &empty}) {
        EXPECT_TRUE(report->items.empty());
        EXPECT_EQ(report->bytesFreed, 0u);
        EXPECT_EQ(report->removedCount, 0u);
        EXPECT_EQ(report->failedCount, 0u);
    }
    EXPECT_EQ(hookCalls, 0);
    EXPECT_EQ(progressCalls, 0);
    EXPECT_EQ(log.CountContaining("junk: recycle bin"), 0);
}

TEST(PruneScanResultTest, GoneFilesLeaveTheirGroupsAndFailedOnesStay) {
    ScanResult before = MixedResult();
    before.kind = ScanKind::Deep;
    before.scannedAt = 11;
    before.finishedAt = 22;
    core::DeleteReport report;
    const struct {
        const wchar_t* path;
        DeleteOutcome outcome;
    } items[] = {
        {L"c:\\t\\A", DeleteOutcome::Deleted},
        {L"C:\\U\\b", DeleteOutcome::InUse},
        {L"C:\\X\\c", DeleteOutcome::NotFound},
        {L"C:\\P\\x.pf", DeleteOutcome::Changed},
        {L"C:\\W\\MEMORY.DMP", DeleteOutcome::Recycled},
        {L"C:\\App\\Cache\\d", DeleteOutcome::ScheduledOnReboot},
        {L"$RECYCLE.BIN", DeleteOutcome::Deleted},
    };
    for (const auto& item : items) {
        report.items.push_back({item.path, 1, item.outcome, 0});
    }
    const auto after = PruneScanResult(before, report);
    EXPECT_EQ(after->kind, ScanKind::Deep);
    EXPECT_EQ(after->scannedAt, 11u);
    EXPECT_EQ(after->finishedAt, 22u);
    std::vector<std::string> ids;
    for (const JunkGroup& group : after->groups) {
        ids.push_back(group.id);
    }
    // Only the exact spelling stands for the Recycle Bin, so its group stays here.
    EXPECT_EQ(ids, (std::vector<std::string>{"junk.temp", "junk.prefetch", "x.locked",
                                             "junk.recyclebin"}));
    const JunkGroup& temp = after->groups[0];
    ASSERT_EQ(temp.items.size(), 1u);
    EXPECT_EQ(temp.items[0].path, L"C:\\U\\b");
    EXPECT_EQ(temp.itemRoots, (std::vector<std::uint32_t>{1}));
    EXPECT_EQ(temp.totalBytes, 20u);
}

}  // namespace
}  // namespace purvex::junk
