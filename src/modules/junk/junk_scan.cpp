#include "modules/junk/junk_scan.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "app/settings.h"
#include "core/fs/locations.h"
#include "core/fs/paths.h"
#include "core/fs/volume_facts.h"
#include "core/log.h"
#include "core/safety/ownership.h"
#include "core/system_time.h"
#include "modules/junk/deep_engine.h"
#include "modules/junk/deep_scan.h"
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

// The deep stage as this machine and the settings allow it, leaving out what the quick stage
// covered.
DeepScanOptions DeepOptionsFor(const app::SettingsData& settings,
                               std::vector<std::wstring> covered) {
    DeepScanOptions deep;
    deep.drive = DeepScanDrive(core::ResolveVariable(L"SystemDrive"));
    ChooseDeepEngine(core::IsElevated(), core::IsNtfsDrive(deep.drive), settings.deepScanForceWalk,
                     deep);
    deep.minAgeHours = static_cast<std::uint32_t>(std::max(settings.tempMinAgeHours, 0));
    deep.excludedRoots = std::move(covered);
    return deep;
}

}  // namespace

std::shared_ptr<const ScanResult> RunJunkScan(ScanKind kind, core::CancelToken& cancel,
                                              const core::ProgressCallback& progress) {
    return RunJunkScan(kind, JunkScanSetup{}, cancel, progress);
}

std::shared_ptr<const ScanResult> RunJunkScan(ScanKind kind, const JunkScanSetup& setup,
                                              core::CancelToken& cancel,
                                              const core::ProgressCallback& progress) {
    const app::SettingsData settings = app::GetSettings();
    const auto start = std::chrono::steady_clock::now();

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
        DeepScanOptions deep = DeepOptionsFor(settings, std::move(covered));
        std::unordered_set<std::wstring> quickFiles;
        for (const JunkGroup& group : result->groups) {
            for (const core::FileEntry& item : group.items) {
                quickFiles.insert(core::FoldCase(item.path));
            }
        }
        deep.excludedFiles = &quickFiles;
        if (setup.deep) {
            setup.deep(deep);
        }
        DeepScanOutput found = RunDeepScan(deep, cancel, ScaleProgress(progress, 0.15, 1));
        if (cancel.IsCancelled()) {
            return nullptr;
        }
        result->engine = found.engine;
        result->notice = found.notice;
        for (JunkGroup& group : found.groups) {
            result->groups.push_back(std::move(group));
        }
    }

    result->scannedAt = core::SystemFileTimeNow();
    result->finishedAt = MonotonicNanoseconds();
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    LogSummary(*result, static_cast<std::uint64_t>(elapsed.count()));
    return result;
}

}  // namespace purvex::junk
