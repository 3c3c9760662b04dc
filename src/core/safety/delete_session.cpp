#include "core/safety/delete_session.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "core/fs/final_path.h"
#include "core/fs/path_text.h"
#include "core/fs/paths.h"
#include "core/log.h"
#include "core/safety/ownership.h"

namespace purvex::core::safety_detail {
namespace {

constexpr std::uint32_t kNotAReparsePoint =
    4395;  // ERROR_NOT_A_REPARSE_POINT, used as "redirected"
constexpr std::uint32_t kHiddenSystemReadOnly =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
constexpr std::size_t kRecycleBatchSize = 200;

bool HandlePointsAt(HANDLE handle, const std::wstring& path) {
    const std::wstring final = FinalPathOfHandle(handle);
    return !final.empty() && EqualsIgnoreCase(final, path);
}

const char* OwnershipRetryStep(HandleStatus status) {
    switch (status) {
        case HandleStatus::OpenFailed:
            return "delete-after-ownership:open";
        case HandleStatus::IdentityChanged:
            return "delete-after-ownership:changed";
        case HandleStatus::Redirected:
            return "delete-after-ownership:redirected";
        case HandleStatus::DisposeFailed:
            return "delete-after-ownership:dispose";
        case HandleStatus::Done:
            break;
    }
    return "delete-after-ownership";
}

void LogBlocked(const std::wstring& path, std::wstring_view verdictName, std::uint32_t error) {
    LogWrite(LogLevel::Warn, L"safety: blocked " + path + L" (" + std::wstring(verdictName) +
                                 L", error " + std::to_wstring(error) + L")");
}

std::size_t CountSeparators(const std::wstring& path) {
    return static_cast<std::size_t>(std::count(path.begin(), path.end(), L'\\'));
}

}  // namespace

DeleteOutcome MapWindowsError(std::uint32_t error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return DeleteOutcome::NotFound;
        case ERROR_ACCESS_DENIED:
            return DeleteOutcome::AccessDenied;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_USER_MAPPED_FILE:
            return DeleteOutcome::InUse;
        default:
            return DeleteOutcome::Failed;
    }
}

CheckedItem CheckRequest(const DeleteRequest& request, const std::wstring& root, bool checkReparse,
                         bool verify) {
    CheckedItem item;
    const SafetyCheck check = SafetyPolicy::Instance().Check(request.path, {root}, checkReparse);
    item.verdict = check.verdict;
    item.path = check.path;
    item.root = check.root;
    if (check.verdict != SafetyVerdict::Allow) {
        item.outcome = DeleteOutcome::Blocked;
        return item;
    }
    UniqueFile file = OpenItem(item.path, SYNCHRONIZE | FILE_READ_ATTRIBUTES, true);
    if (!file) {
        item.error = GetLastError();
        item.outcome = MapWindowsError(item.error);
        return item;
    }
    if (!ReadIdentity(file.Get(), item.identity)) {
        item.error = GetLastError();
        item.outcome = DeleteOutcome::Failed;
        return item;
    }
    if (!HandlePointsAt(file.Get(), item.path)) {
        item.verdict = SafetyVerdict::DenyReparse;
        item.outcome = DeleteOutcome::Blocked;
        item.error = kNotAReparsePoint;
        return item;
    }
    if (!verify) {
        item.proceed = true;
        return item;
    }
    // Every value the scan recorded must still hold: a file that kept its id but grew, shrank
    // or was rewritten is no longer what the user chose to delete.
    const FileIdentity& now = item.identity;
    constexpr std::uint32_t kKindBits = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    bool same = true;
    if (request.expectedAttributes != 0 &&
        (request.expectedAttributes & kKindBits) != (now.attributes & kKindBits)) {
        same = false;
    }
    if (request.expectedFileId != 0 && request.expectedFileId != now.fileId) {
        same = false;
    }
    if (!now.IsFolder() && now.size != request.expectedSize) {
        same = false;
    }
    if (request.expectedWriteTime != 0 && request.expectedWriteTime != now.lastWriteTime) {
        same = false;
    }
    if (same) {
        item.proceed = true;
    } else {
        item.outcome = DeleteOutcome::Changed;
    }
    return item;
}

HandleResult DeleteByHandle(const std::wstring& path, const FileIdentity& identity) {
    UniqueFile file =
        OpenItem(path, DELETE | SYNCHRONIZE | FILE_READ_ATTRIBUTES, identity.IsFolder());
    if (!file) {
        return {HandleStatus::OpenFailed, GetLastError()};
    }
    FileIdentity now;
    if (!ReadIdentity(file.Get(), now)) {
        return {HandleStatus::DisposeFailed, GetLastError()};
    }
    if (!now.SameItem(identity)) {
        return {HandleStatus::IdentityChanged, 0};
    }
    if (!HandlePointsAt(file.Get(), path)) {
        return {HandleStatus::Redirected, kNotAReparsePoint};
    }
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    if (!SetFileInformationByHandle(file.Get(), FileDispositionInfo, &disposition,
                                    sizeof(disposition))) {
        return {HandleStatus::DisposeFailed, GetLastError()};
    }
    return {HandleStatus::Done, 0};
}

bool SetAttributesChecked(const std::wstring& path, const FileIdentity& identity,
                          std::uint32_t attributes, std::uint32_t& error) {
    DWORD openError = 0;
    UniqueFile file = OpenSameItem(
        path, identity, SYNCHRONIZE | FILE_WRITE_ATTRIBUTES | FILE_READ_ATTRIBUTES, openError);
    if (!file) {
        error = openError;
        return false;
    }
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = attributes & 0x3127;
    if (basic.FileAttributes == 0) {
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    }
    if (!SetFileInformationByHandle(file.Get(), FileBasicInfo, &basic, sizeof(basic))) {
        error = GetLastError();
        return false;
    }
    error = 0;
    return true;
}

DeleteSession::DeleteSession(const DeleteOptions& options, CancelToken& cancel,
                             ProgressCallback progress, std::size_t total)
    : options_(options), cancel_(cancel), progress_(std::move(progress)), total_(total) {
    entries_.reserve(total);
    results_.reserve(total);
}

void DeleteSession::Add(const std::wstring& path, std::uint64_t expectedSize) {
    entries_.push_back(Entry{});
    results_.push_back(DeleteItemResult{path, expectedSize, DeleteOutcome::Cancelled, 0});
}

bool DeleteSession::OwnershipPossible() {
    if (privileges_ == PrivilegeState::NotTried) {
        bool possible = EnablePrivileges();
        if (!possible) {
            const bool takeOwnership = EnablePrivilege(L"SeTakeOwnershipPrivilege");
            const bool restore = EnablePrivilege(L"SeRestorePrivilege");
            EnablePrivilege(L"SeBackupPrivilege");
            possible = takeOwnership && restore;
        }
        privileges_ = possible ? PrivilegeState::Enabled : PrivilegeState::Unavailable;
    }
    return privileges_ == PrivilegeState::Enabled;
}

OutcomeAndError DeleteSession::DeleteOne(const CheckedItem& item, bool allowOwnership) {
    const std::uint32_t protectiveBits = item.identity.attributes & kHiddenSystemReadOnly;
    HandleResult result = DeleteByHandle(item.path, item.identity);
    bool cleared = false;
    std::uint32_t ignored = 0;

    const bool denied =
        result.error == ERROR_ACCESS_DENIED &&
        (result.status == HandleStatus::OpenFailed || result.status == HandleStatus::DisposeFailed);
    if (denied && protectiveBits != 0 &&
        SetAttributesChecked(item.path, item.identity,
                             item.identity.attributes & ~kHiddenSystemReadOnly, ignored)) {
        cleared = true;
        result = DeleteByHandle(item.path, item.identity);
    }

    const bool stillDenied =
        result.status != HandleStatus::Done && result.error == ERROR_ACCESS_DENIED &&
        (result.status == HandleStatus::OpenFailed ||
         (result.status == HandleStatus::DisposeFailed && protectiveBits != 0 && !cleared));
    if (stillDenied && allowOwnership && options_.takeOwnership && OwnershipPossible()) {
        SavedSecurity saved;
        std::uint32_t ownershipError = 0;
        if (TakeOwnership(item.path, item.identity, saved, ownershipError)) {
            if (protectiveBits != 0 && !cleared &&
                SetAttributesChecked(item.path, item.identity,
                                     item.identity.attributes & ~kHiddenSystemReadOnly, ignored)) {
                cleared = true;
            }
            result = DeleteByHandle(item.path, item.identity);
            if (result.status != HandleStatus::Done) {
                SetLastOwnershipStep(OwnershipRetryStep(result.status), result.error);
            }
        }
        if (result.status != HandleStatus::Done) {
            const OwnershipStep step = LastOwnershipStep();
            const std::string name = step.name != nullptr ? step.name : "?";
            LogWrite(LogLevel::Warn, L"safety: taking ownership did not help for " + item.path +
                                         L" (step " + std::wstring(name.begin(), name.end()) +
                                         L", error " + std::to_wstring(step.error) + L")");
            if (saved.descriptor) {
                RestoreOwnership(item.path, item.identity, saved);
            }
        }
    }

    if (result.status != HandleStatus::Done && cleared) {
        SetAttributesChecked(item.path, item.identity, item.identity.attributes, ignored);
    }

    switch (result.status) {
        case HandleStatus::Done:
            return {DeleteOutcome::Deleted, 0};
        case HandleStatus::OpenFailed:
            return {MapWindowsError(result.error), result.error};
        case HandleStatus::IdentityChanged:
            return {DeleteOutcome::Changed, result.error};
        case HandleStatus::Redirected:
            return {DeleteOutcome::Blocked, result.error};
        case HandleStatus::DisposeFailed:
            if (result.error == ERROR_ACCESS_DENIED) {
                const bool readOnly = (item.identity.attributes & FILE_ATTRIBUTE_READONLY) != 0;
                return {readOnly && !cleared ? DeleteOutcome::AccessDenied : DeleteOutcome::InUse,
                        result.error};
            }
            return {MapWindowsError(result.error), result.error};
    }
    return {DeleteOutcome::Failed, result.error};
}

void DeleteSession::Process(std::size_t index, const CheckedItem& item) {
    Entry& entry = entries_[index];
    if (item.verdict == SafetyVerdict::Allow || item.proceed) {
        entry.path = item.path;
        entry.root = item.root;
        entry.size = item.identity.size;
    }
    if (!item.proceed) {
        if (item.outcome == DeleteOutcome::Blocked) {
            LogBlocked(item.path.empty() ? results_[index].path : item.path,
                       SafetyVerdictName(item.verdict), item.error);
        }
        Record(index, item.outcome, item.error, 0);
        return;
    }
    if (options_.mode == DeleteMode::Recycle && !item.identity.IsFolder() &&
        !item.identity.IsReparsePoint()) {
        std::wstring key = FoldCase(item.path);
        if (recycleKeys_.count(key) != 0) {
            FlushRecycle();
        }
        recycleBatch_.push_back(RecycleEntry{index, item.path, item.identity});
        recycleKeys_.insert(std::move(key));
        if (recycleBatch_.size() >= kRecycleBatchSize) {
            FlushRecycle();
        }
        return;
    }
    const OutcomeAndError done = DeleteOne(item, true);
    if (done.outcome == DeleteOutcome::Blocked) {
        LogBlocked(item.path, SafetyVerdictName(SafetyVerdict::DenyReparse), done.error);
    }
    Record(index, done.outcome, done.error,
           done.outcome == DeleteOutcome::Deleted ? entry.size : 0);
}

void DeleteSession::Record(std::size_t index, DeleteOutcome outcome, std::uint32_t error,
                           std::uint64_t bytes) {
    if (index >= entries_.size() || entries_[index].done) {
        return;
    }
    Entry& entry = entries_[index];
    DeleteItemResult& result = results_[index];
    entry.done = true;
    result.outcome = outcome;
    result.error = error;
    if (FreesBytes(outcome)) {
        result.bytes = bytes;
        bytesFreed_ += bytes;
    }
    if (CountsAsRemoved(outcome)) {
        ++removedCount_;
        if (!entry.path.empty() && !entry.root.empty()) {
            pruneList_.push_back(index);
        }
    } else {
        ++failedCount_;
    }
    CleanLogWrite(result.path, result.bytes, outcome, error);
    ++processed_;
    ReportProgress(result.path);
}

void DeleteSession::ReportProgress(const std::wstring& current) {
    if (!progress_) {
        return;
    }
    const std::uint64_t now = GetTickCount64();
    if (reported_ && now - lastReportTick_ < 50) {
        return;
    }
    reported_ = true;
    lastReportTick_ = now;
    Progress p;
    p.fraction = total_ == 0
                     ? 1.0
                     : std::min(1.0, static_cast<double>(processed_) / static_cast<double>(total_));
    p.current = current;
    p.bytes = bytesFreed_;
    p.items = processed_;
    progress_(p);
}

void DeleteSession::RemoveEmptyParents() {
    // Deepest folders first, so that a parent is tried only after its children went.
    std::set<std::wstring> seen;
    std::vector<std::pair<std::wstring, std::wstring>> folders;
    for (std::size_t index : pruneList_) {
        const Entry& entry = entries_[index];
        for (std::wstring folder = ParentPath(entry.path); IsUnder(folder, entry.root);) {
            std::wstring key = FoldCase(folder) + L"|" + FoldCase(entry.root);
            if (!seen.insert(std::move(key)).second) {
                break;
            }
            folders.emplace_back(folder, entry.root);
            std::wstring parent = ParentPath(folder);
            if (parent.size() >= folder.size()) {
                break;
            }
            folder = std::move(parent);
        }
    }
    std::stable_sort(folders.begin(), folders.end(), [](const auto& a, const auto& b) {
        return CountSeparators(a.first) > CountSeparators(b.first);
    });
    for (const auto& [folder, root] : folders) {
        DeleteRequest request;
        request.path = folder;
        const CheckedItem item = CheckRequest(request, root, true, false);
        if (!item.proceed || !item.identity.IsFolder() || item.identity.IsReparsePoint()) {
            continue;
        }
        if (DeleteOne(item, false).outcome == DeleteOutcome::Deleted) {
            CleanLogWrite(folder, 0, DeleteOutcome::Deleted, 0);
        }
    }
}

void DeleteSession::Finish() {
    const DeleteOutcome rest =
        cancel_.IsCancelled() ? DeleteOutcome::Cancelled : DeleteOutcome::Failed;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (!entries_[i].done) {
            Record(i, rest, 0, 0);
        }
    }
    if (progress_ && !entries_.empty()) {
        Progress p;
        p.fraction = 1.0;
        p.bytes = bytesFreed_;
        p.items = total_;
        progress_(p);
    }
}

DeleteReport DeleteSession::TakeReport() {
    DeleteReport report;
    report.bytesFreed = bytesFreed_;
    report.removedCount = removedCount_;
    report.failedCount = failedCount_;
    report.items = std::move(results_);
    results_.clear();
    return report;
}

}  // namespace purvex::core::safety_detail
