#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/cancel_token.h"
#include "core/delete_types.h"
#include "core/progress.h"
#include "core/safety/file_identity.h"
#include "core/safety/safety_policy.h"

namespace purvex::core::safety_detail {

// The outcome of checking one request before anything is deleted.
struct CheckedItem {
    bool proceed = false;
    SafetyVerdict verdict = SafetyVerdict::DenyEmpty;
    DeleteOutcome outcome = DeleteOutcome::Failed;
    std::uint32_t error = 0;
    std::wstring path;  // normal form from the policy
    std::wstring root;
    FileIdentity identity;
};

enum class HandleStatus {
    Done = 0,
    OpenFailed = 1,
    IdentityChanged = 2,
    Redirected = 3,
    DisposeFailed = 4
};

struct HandleResult {
    HandleStatus status = HandleStatus::Done;
    std::uint32_t error = 0;
};

struct OutcomeAndError {
    DeleteOutcome outcome = DeleteOutcome::Failed;
    std::uint32_t error = 0;
};

// One file queued for the Recycle Bin.
struct RecycleEntry {
    std::uint64_t index = 0;
    std::wstring path;
    FileIdentity identity;
};

DeleteOutcome MapWindowsError(std::uint32_t error);

// Asks the policy, opens the item without following links and proves that it is still what
// the scan saw.
CheckedItem CheckRequest(const DeleteRequest& request, const std::wstring& root, bool checkReparse,
                         bool verify);

// Deletes through a handle of its own after proving once more that path and item agree.
HandleResult DeleteByHandle(const std::wstring& path, const FileIdentity& identity);

// Sets FileBasicInfo attributes on the same item; false with the error otherwise.
bool SetAttributesChecked(const std::wstring& path, const FileIdentity& identity,
                          std::uint32_t attributes, std::uint32_t& error);

// State of one Delete or DeleteTree call; each request gets exactly one outcome.
class DeleteSession {
public:
    DeleteSession(const DeleteOptions& options, CancelToken& cancel, ProgressCallback progress,
                  std::size_t total);

    // Registers one request; it starts as Cancelled until something records its outcome.
    void Add(const std::wstring& path, std::uint64_t expectedSize);
    void Process(std::size_t index, const CheckedItem& item);
    void Record(std::size_t index, DeleteOutcome outcome, std::uint32_t error, std::uint64_t bytes);
    OutcomeAndError DeleteOne(const CheckedItem& item, bool allowOwnership);
    void FlushRecycle();
    void RemoveEmptyParents();
    // Every request not reached yet becomes Cancelled (token set) or Failed.
    void Finish();
    DeleteReport TakeReport();

    [[nodiscard]] bool Cancelled() const { return cancel_.IsCancelled(); }
    [[nodiscard]] const DeleteOptions& Options() const { return options_; }

private:
    enum class PrivilegeState { NotTried, Enabled, Unavailable };

    struct Entry {
        bool done = false;
        std::wstring path;
        std::wstring root;
        std::uint64_t size = 0;
    };

    bool OwnershipPossible();
    void ReportProgress(const std::wstring& current);

    DeleteOptions options_;
    CancelToken& cancel_;
    ProgressCallback progress_;
    std::size_t total_ = 0;
    std::uint64_t lastReportTick_ = 0;
    bool reported_ = false;

    std::vector<Entry> entries_;
    std::vector<DeleteItemResult> results_;
    std::uint64_t bytesFreed_ = 0;
    std::uint32_t removedCount_ = 0;
    std::uint32_t failedCount_ = 0;
    std::size_t processed_ = 0;
    std::vector<std::size_t> pruneList_;

    std::vector<RecycleEntry> recycleBatch_;
    std::unordered_set<std::wstring> recycleKeys_;
    PrivilegeState privileges_ = PrivilegeState::NotTried;
};

}  // namespace purvex::core::safety_detail
