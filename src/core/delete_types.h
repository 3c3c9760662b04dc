#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace purvex::core {

enum class Risk : std::uint8_t { None = 0, Low = 1, Medium = 2, High = 3, Locked = 4 };

enum class DeleteMode : std::uint8_t { Permanent = 0, Recycle = 1 };

// The numbers are fixed: the clean log and the result panel rely on them.
enum class DeleteOutcome : std::uint8_t {
    Deleted = 0,
    Recycled = 1,
    ScheduledOnReboot = 2,
    InUse = 3,
    AccessDenied = 4,
    NotFound = 5,
    Blocked = 6,
    Changed = 7,
    Cancelled = 8,
    Failed = 9,
};

struct DeleteRequest {
    std::wstring path;
    std::uint64_t expectedSize = 0;
    std::uint64_t expectedFileId = 0;      // 0 = not recorded
    std::uint64_t expectedWriteTime = 0;   // FILETIME as 64 bits; 0 = not recorded
    std::uint32_t expectedAttributes = 0;  // 0 = not recorded
    std::wstring root;                     // the path must lie strictly under it
};

struct DeleteOptions {
    DeleteMode mode = DeleteMode::Permanent;
    bool takeOwnership = false;
    bool removeEmptyParents = false;
    bool verifyUnchanged = true;
};

struct DeleteItemResult {
    std::wstring path;
    std::uint64_t bytes = 0;
    DeleteOutcome outcome = DeleteOutcome::Failed;
    std::uint32_t error = 0;
};

struct DeleteReport {
    std::uint64_t bytesFreed = 0;
    std::uint32_t removedCount = 0;
    std::uint32_t failedCount = 0;
    std::vector<DeleteItemResult> items;
};

// "Deleted", "Recycled", … as written to the clean log; "Unknown" outside the fixed range.
std::string_view DeleteOutcomeName(DeleteOutcome outcome);
std::string_view DeleteOutcomeKey(DeleteOutcome outcome);
std::string_view RiskKey(Risk risk);
std::string_view DeleteModeKey(DeleteMode mode);

// Deleted, Recycled and NotFound leave the item gone; only the first two free bytes.
bool CountsAsRemoved(DeleteOutcome outcome);
bool FreesBytes(DeleteOutcome outcome);

// Appends one result and keeps the report's totals in step with its items.
void AddResult(DeleteReport& report, DeleteItemResult item);

// A result for a request that was not removed: it carries the size the scan saw.
DeleteItemResult NotRemovedResult(const DeleteRequest& request, DeleteOutcome outcome,
                                  std::uint32_t error = 0);

}  // namespace purvex::core
