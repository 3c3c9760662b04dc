#include "core/safety/deleter.h"

#include <windows.h>

#include <exception>

#include "core/fs/path_text.h"
#include "core/fs/paths.h"
#include "core/log.h"
#include "core/safety/delete_session.h"
#include "core/safety/safety_policy.h"
#include "core/unique_handle.h"

namespace purvex::core {
namespace {

using safety_detail::CheckedItem;
using safety_detail::CheckRequest;
using safety_detail::DeleteSession;

DeleteReport SingleItemReport(const std::wstring& path, DeleteOutcome outcome,
                              std::uint32_t error) {
    DeleteReport report;
    AddResult(report, DeleteItemResult{path, 0, outcome, error});
    CleanLogWrite(path, 0, outcome, error);
    return report;
}

struct TreeItem {
    std::wstring path;
    std::uint64_t size = 0;
    std::uint64_t writeTime = 0;
    std::uint32_t attributes = 0;
};

// Files (links included, never entered) and folders below top, parents before children.
void CollectTree(const std::wstring& top, CancelToken& cancel, std::vector<TreeItem>& files,
                 std::vector<TreeItem>& folders) {
    std::vector<std::wstring> stack{top};
    std::size_t seen = 0;
    while (!stack.empty()) {
        const std::wstring folder = std::move(stack.back());
        stack.pop_back();
        WIN32_FIND_DATAW data{};
        UniqueFind find(FindFirstFileExW(ToLongPath(JoinPath(folder, L"*")).c_str(),
                                         FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                         FIND_FIRST_EX_LARGE_FETCH));
        if (!find) {
            continue;
        }
        do {
            const std::wstring_view name = data.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            if (++seen % 1000 == 0 && cancel.IsCancelled()) {
                return;
            }
            TreeItem item;
            item.path = JoinPath(folder, name);
            item.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            item.writeTime =
                (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                data.ftLastWriteTime.dwLowDateTime;
            item.attributes = data.dwFileAttributes;
            const bool plainFolder = (item.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                                     (item.attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
            if (plainFolder) {
                stack.push_back(item.path);
                folders.push_back(std::move(item));
            } else {
                files.push_back(std::move(item));
            }
        } while (FindNextFileW(find.Get(), &data));
    }
}

}  // namespace

DeleteReport Deleter::Delete(const std::vector<DeleteRequest>& requests,
                             const DeleteOptions& options, const ProgressCallback& progress,
                             CancelToken& cancel) {
    try {
        DeleteSession session(options, cancel, progress, requests.size());
        for (const DeleteRequest& request : requests) {
            session.Add(request.path, request.expectedSize);
        }
        try {
            for (std::size_t j = 0; j < requests.size() && !cancel.IsCancelled(); ++j) {
                session.Process(
                    j, CheckRequest(requests[j], requests[j].root, true, options.verifyUnchanged));
            }
            session.FlushRecycle();
            if (options.removeEmptyParents) {
                session.RemoveEmptyParents();
            }
        } catch (...) {
            LogWrite(LogLevel::Error, L"safety: unexpected exception in Deleter::Delete");
        }
        session.Finish();
        return session.TakeReport();
    } catch (...) {
        DeleteReport report;
        for (const DeleteRequest& request : requests) {
            AddResult(report, NotRemovedResult(request, DeleteOutcome::Failed));
        }
        return report;
    }
}

DeleteReport Deleter::DeleteTree(const std::wstring& top,
                                 const std::vector<std::wstring>& allowedRoots,
                                 const DeleteOptions& options, CancelToken& cancel,
                                 const ProgressCallback& progress) {
    try {
        const std::wstring p = NormalizePath(top);
        if (p.empty()) {
            return SingleItemReport(top, DeleteOutcome::Blocked, 0);
        }
        bool isRoot = false;
        for (const std::wstring& allowed : allowedRoots) {
            const std::wstring normal = NormalizePath(allowed);
            if (!normal.empty() && EqualsIgnoreCase(normal, p)) {
                isRoot = true;
            }
        }
        std::wstring root;
        bool topAllowed = true;
        SafetyVerdict topVerdict = SafetyVerdict::Allow;
        if (!isRoot) {
            const SafetyCheck check = SafetyPolicy::Instance().Check(p, allowedRoots, true);
            if (check.verdict != SafetyVerdict::Allow) {
                return SingleItemReport(p, DeleteOutcome::Blocked, 0);
            }
            root = check.root;
        } else {
            const SafetyCheck check = SafetyPolicy::Instance().Check(p, {ParentPath(p)}, false);
            topVerdict = check.verdict;
            if (topVerdict == SafetyVerdict::DenyEmpty ||
                topVerdict == SafetyVerdict::DenyCritical ||
                topVerdict == SafetyVerdict::DenyUserExcluded) {
                return SingleItemReport(p, DeleteOutcome::Blocked, 0);
            }
            topAllowed = topVerdict == SafetyVerdict::Allow;
            root = p;
        }

        const DWORD attributes = GetFileAttributesW(ToLongPath(p).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const DWORD error = GetLastError();
            return SingleItemReport(p, safety_detail::MapWindowsError(error), error);
        }

        std::vector<TreeItem> files;
        std::vector<TreeItem> folders;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            CollectTree(p, cancel, files, folders);
        }

        DeleteSession session(options, cancel, progress, files.size() + folders.size() + 1);
        for (const TreeItem& file : files) {
            session.Add(file.path, file.size);
        }
        for (const TreeItem& folder : folders) {
            session.Add(folder.path, 0);
        }
        session.Add(p, 0);
        try {
            for (std::size_t i = 0; i < files.size() && !cancel.IsCancelled(); ++i) {
                DeleteRequest request;
                request.path = files[i].path;
                request.expectedSize = files[i].size;
                request.expectedWriteTime = files[i].writeTime;
                request.expectedAttributes = files[i].attributes;
                session.Process(i, CheckRequest(request, root, false, true));
            }
            session.FlushRecycle();
            for (std::size_t k = folders.size(); k-- > 0 && !cancel.IsCancelled();) {
                DeleteRequest request;
                request.path = folders[k].path;
                request.expectedAttributes = FILE_ATTRIBUTE_DIRECTORY;
                session.Process(files.size() + k, CheckRequest(request, root, false, false));
            }
            if (!cancel.IsCancelled()) {
                const std::size_t topIndex = files.size() + folders.size();
                if (isRoot && !topAllowed) {
                    CheckedItem blocked;
                    blocked.verdict = topVerdict;
                    blocked.outcome = DeleteOutcome::Blocked;
                    blocked.path = p;
                    session.Process(topIndex, blocked);
                } else {
                    DeleteRequest request;
                    request.path = p;
                    const std::wstring topRoot = isRoot ? ParentPath(p) : root;
                    session.Process(topIndex, CheckRequest(request, topRoot, !isRoot, false));
                }
            }
        } catch (...) {
            LogWrite(LogLevel::Error, L"safety: unexpected exception in Deleter::DeleteTree");
        }
        session.Finish();
        return session.TakeReport();
    } catch (...) {
        return SingleItemReport(top, DeleteOutcome::Failed, 0);
    }
}

}  // namespace purvex::core
