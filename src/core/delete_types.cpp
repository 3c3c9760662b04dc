#include "core/delete_types.h"

#include <array>
#include <utility>

namespace purvex::core {
namespace {

struct OutcomeInfo {
    std::string_view name;
    std::string_view key;
};

constexpr std::array<OutcomeInfo, 10> kOutcomes = {{
    {"Deleted", "common.outcome.deleted"},
    {"Recycled", "common.outcome.recycled"},
    {"ScheduledOnReboot", "common.outcome.scheduled_on_reboot"},
    {"InUse", "common.outcome.in_use"},
    {"AccessDenied", "common.outcome.access_denied"},
    {"NotFound", "common.outcome.not_found"},
    {"Blocked", "common.outcome.blocked"},
    {"Changed", "common.outcome.changed"},
    {"Cancelled", "common.outcome.cancelled"},
    {"Failed", "common.outcome.failed"},
}};

}  // namespace

std::string_view DeleteOutcomeName(DeleteOutcome outcome) {
    const auto index = static_cast<std::size_t>(outcome);
    return index < kOutcomes.size() ? kOutcomes[index].name : std::string_view("Unknown");
}

std::string_view DeleteOutcomeKey(DeleteOutcome outcome) {
    const auto index = static_cast<std::size_t>(outcome);
    return index < kOutcomes.size() ? kOutcomes[index].key
                                    : std::string_view("common.outcome.failed");
}

std::string_view RiskKey(Risk risk) {
    switch (risk) {
        case Risk::None:
            return "common.risk.none";
        case Risk::Low:
            return "common.risk.low";
        case Risk::Medium:
            return "common.risk.medium";
        case Risk::High:
            return "common.risk.high";
        case Risk::Locked:
            return "common.risk.locked";
    }
    return "common.risk.high";
}

std::string_view DeleteModeKey(DeleteMode mode) {
    return mode == DeleteMode::Recycle ? "common.delete_mode.recycle"
                                       : "common.delete_mode.permanent";
}

bool FreesBytes(DeleteOutcome outcome) {
    return outcome == DeleteOutcome::Deleted || outcome == DeleteOutcome::Recycled;
}

bool CountsAsRemoved(DeleteOutcome outcome) {
    return FreesBytes(outcome) || outcome == DeleteOutcome::NotFound;
}

void AddResult(DeleteReport& report, DeleteItemResult item) {
    if (FreesBytes(item.outcome)) {
        report.bytesFreed += item.bytes;
    }
    if (CountsAsRemoved(item.outcome)) {
        ++report.removedCount;
    } else {
        ++report.failedCount;
    }
    report.items.push_back(std::move(item));
}

DeleteItemResult NotRemovedResult(const DeleteRequest& request, DeleteOutcome outcome,
                                  std::uint32_t error) {
    return DeleteItemResult{request.path, request.expectedSize, outcome, error};
}

}  // namespace purvex::core
