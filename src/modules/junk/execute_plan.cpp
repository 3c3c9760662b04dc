#include "modules/junk/execute_plan.h"

#include <string>

#include "core/log.h"
#include "core/safety/deleter.h"
#include "core/safety/recycle_bin.h"

namespace purvex::junk {

core::DeleteReport ExecutePlan(const CleanPlan& plan, core::DeleteMode mode,
                               core::CancelToken& cancel, const core::ProgressCallback& progress,
                               const RecycleBinEmptier& emptyRecycleBin) {
    core::DeleteReport report;

    if (plan.emptyRecycleBin && !cancel.IsCancelled()) {
        std::uint64_t freed = 0;
        const bool ok = emptyRecycleBin ? emptyRecycleBin(&freed) : core::EmptyRecycleBin(&freed);
        core::DeleteItemResult item;
        item.path = kRecycleBinReportPath;
        item.bytes = ok ? freed : plan.recycleBinBytes;
        item.outcome = ok ? core::DeleteOutcome::Deleted : core::DeleteOutcome::Failed;
        report.items.push_back(item);
        if (ok) {
            ++report.removedCount;
            report.bytesFreed += freed;
        } else {
            ++report.failedCount;
        }
        core::LogWrite(core::LogLevel::Info, std::wstring(L"junk: recycle bin ") +
                                                 (ok ? L"emptied" : L"could not be emptied") +
                                                 L", " + std::to_wstring(freed) + L" bytes");
    }

    if (!plan.requests.empty()) {
        core::ProgressThrottle throttle(progress);
        const core::ProgressCallback forward = [&throttle](const core::Progress& p) {
            throttle.Report(p);
        };
        core::DeleteOptions options;
        options.mode = mode;
        options.takeOwnership = true;
        options.removeEmptyParents = true;
        options.verifyUnchanged = true;
        core::DeleteReport files = core::Deleter::Delete(plan.requests, options, forward, cancel);
        report.bytesFreed += files.bytesFreed;
        report.removedCount += files.removedCount;
        report.failedCount += files.failedCount;
        for (core::DeleteItemResult& item : files.items) {
            report.items.push_back(std::move(item));
        }
        if (progress) {
            core::Progress done;
            done.fraction = 1.0;
            done.items = plan.requests.size();
            throttle.Report(done, true);
        }
    }
    return report;
}

}  // namespace purvex::junk
