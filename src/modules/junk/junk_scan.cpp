#include "modules/junk/junk_scan.h"

#include <algorithm>
#include <chrono>
#include <string>

#include "app/settings.h"
#include "core/log.h"
#include "modules/junk/quick_scan.h"
#include "modules/junk/scale_progress.h"

namespace purvex::junk {
namespace {

const wchar_t* EngineName(ScanEngine engine) {
    switch (engine) {
        case ScanEngine::Mft:
            return L"mft";
        case ScanEngine::Walk:
            return L"walk";
        case ScanEngine::None:
            break;
    }
    return L"none";
}

void LogSummary(const ScanResult& result, std::uint64_t elapsedMs) {
    std::uint64_t items = 0;
    std::uint64_t bytes = 0;
    for (const JunkGroup& group : result.groups) {
        items += GroupItemCount(group);
        bytes += group.totalBytes;
    }
    core::LogWrite(
        core::LogLevel::Info,
        std::wstring(L"junk: ") + (result.kind == ScanKind::Deep ? L"deep" : L"quick") +
            L" scan found " + std::to_wstring(items) + L" items, " + std::to_wstring(bytes) +
            L" bytes in " + std::to_wstring(result.groups.size()) + L" groups (" +
            std::to_wstring(elapsedMs) + L" ms, engine " + EngineName(result.engine) + L")");
}

}  // namespace

std::shared_ptr<const ScanResult> RunJunkScan(ScanKind kind, const core::CancelToken& cancel,
                                              const core::ProgressCallback& progress) {
    return RunJunkScan(kind, JunkScanSetup{}, cancel, progress);
}

std::shared_ptr<const ScanResult> RunJunkScan(ScanKind kind, const JunkScanSetup& setup,
                                              const core::CancelToken& cancel,
                                              const core::ProgressCallback& progress) {
    const app::SettingsData settings = app::GetSettings();
    const auto start = std::chrono::steady_clock::now();
    if (kind == ScanKind::Deep && !setup.deep) {
        // Reporting a quick result as a deep one would hide that the drive was never searched.
        core::LogWrite(core::LogLevel::Warn, L"junk: deep scan requested without a deep stage");
        return nullptr;
    }

    auto result = std::make_shared<ScanResult>();
    result->kind = kind;

    std::vector<std::wstring> covered;
    QuickScanOptions quick = setup.quick;
    quick.tempMinAgeHours = static_cast<std::uint32_t>(std::max(settings.tempMinAgeHours, 0));
    quick.coveredRoots = &covered;

    const core::ProgressCallback quickProgress =
        kind == ScanKind::Deep ? ScaleProgress(progress, 0, 0.15) : progress;
    result->groups = RunQuickScan(quick, cancel, quickProgress);
    if (cancel.IsCancelled()) {
        return nullptr;
    }
    if (kind == ScanKind::Deep) {
        if (!setup.deep(covered, *result, cancel, ScaleProgress(progress, 0.15, 1)) ||
            cancel.IsCancelled()) {
            return nullptr;
        }
    }

    result->scannedAt = SystemFileTimeNow();
    result->finishedAt = MonotonicNanoseconds();
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    LogSummary(*result, static_cast<std::uint64_t>(elapsed.count()));
    return result;
}

}  // namespace purvex::junk
