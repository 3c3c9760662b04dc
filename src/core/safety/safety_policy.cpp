#include "core/safety/safety_policy.h"

#include <windows.h>

#include <algorithm>

#include "core/fs/path_text.h"
#include "core/fs/paths.h"

namespace purvex::core {
namespace {

// Rebuilds "X:\rest" from drive-form components.
std::wstring JoinComponents(const std::vector<std::wstring>& components) {
    std::wstring path;
    for (const std::wstring& c : components) {
        path = path.empty() ? c + L"\\" : JoinPath(path, c);
    }
    return path;
}

// Every folder strictly between root and path must be an ordinary folder: a link there would
// make the deletion act somewhere else than the root the caller meant.
bool PlainWayDown(const std::wstring& path, const std::wstring& root) {
    std::wstring current = ParentPath(path);
    while (IsUnder(current, root)) {
        const DWORD attributes = GetFileAttributesW(ToLongPath(current).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
                return false;
            }
        } else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            return false;
        }
        std::wstring parent = ParentPath(current);
        if (parent.size() >= current.size()) {
            break;
        }
        current = std::move(parent);
    }
    return true;
}

}  // namespace

SafetyPolicy& SafetyPolicy::Instance() {
    static SafetyPolicy policy(SafetyRules::Instance());
    return policy;
}

SafetyPolicy::SafetyPolicy(const SafetyRules& rules) : rules_(rules) {}

void SafetyPolicy::SetUserExclusions(const std::vector<std::wstring>& paths) {
    std::vector<std::wstring> normal;
    normal.reserve(paths.size());
    for (const std::wstring& p : paths) {
        if (std::wstring n = NormalizePath(p); !n.empty()) {
            normal.push_back(std::move(n));
        }
    }
    std::lock_guard lock(mutex_);
    exclusions_.swap(normal);
}

std::vector<std::wstring> SafetyPolicy::UserExclusions() const {
    std::lock_guard lock(mutex_);
    return exclusions_;
}

bool SafetyPolicy::IsExcluded(std::wstring_view path) const {
    std::lock_guard lock(mutex_);
    for (const std::wstring& excluded : exclusions_) {
        if (PathEquals(path, excluded) || IsUnder(path, excluded)) {
            return true;
        }
    }
    return false;
}

SafetyCheck SafetyPolicy::Check(std::wstring_view path,
                                const std::vector<std::wstring>& allowedRoots,
                                bool checkReparse) const {
    try {
        return CheckUnguarded(path, allowedRoots, checkReparse);
    } catch (...) {
        // A check that could not finish must never read as permission.
        return SafetyCheck{SafetyVerdict::DenyCritical, {}, {}};
    }
}

SafetyCheck SafetyPolicy::CheckUnguarded(std::wstring_view path,
                                         const std::vector<std::wstring>& allowedRoots,
                                         bool checkReparse) const {
    SafetyCheck result;
    result.path = NormalizePath(path);
    if (result.path.empty()) {
        result.verdict = SafetyVerdict::DenyEmpty;
        return result;
    }
    const std::vector<std::wstring> components = SplitPath(result.path);
    // An administrative share reaches the same folders as its drive: judge both spellings.
    const std::vector<std::wstring> driveForm = DriveFormOfAdminShare(components);
    const std::wstring drivePath = driveForm.empty() ? std::wstring() : JoinComponents(driveForm);

    if (IsExcluded(result.path) || (!drivePath.empty() && IsExcluded(drivePath))) {
        result.verdict = SafetyVerdict::DenyUserExcluded;
        return result;
    }
    if (components.size() < 2 || rules_.IsProtectedLocation(components) ||
        (!driveForm.empty() && rules_.IsProtectedLocation(driveForm))) {
        result.verdict = SafetyVerdict::DenyCritical;
        return result;
    }

    std::vector<std::wstring> roots;
    for (const std::wstring& r : allowedRoots) {
        std::wstring root = NormalizePath(r);
        if (!root.empty() && IsUnder(result.path, root)) {
            roots.push_back(std::move(root));
        }
    }
    if (roots.empty()) {
        result.verdict = SafetyVerdict::DenyOutsideRoot;
        return result;
    }
    std::stable_sort(roots.begin(), roots.end(), [](const std::wstring& a, const std::wstring& b) {
        return a.size() > b.size();
    });
    result.root = roots.front();

    if (rules_.JudgeArea(components) != SafetyVerdict::Allow ||
        (!driveForm.empty() && rules_.JudgeArea(driveForm) != SafetyVerdict::Allow)) {
        result.verdict = SafetyVerdict::DenyProtected;
        return result;
    }
    if (!checkReparse) {
        result.verdict = SafetyVerdict::Allow;
        return result;
    }
    for (const std::wstring& root : roots) {
        if (PlainWayDown(result.path, root)) {
            result.verdict = SafetyVerdict::Allow;
            result.root = root;
            return result;
        }
    }
    result.verdict = SafetyVerdict::DenyReparse;
    return result;
}

}  // namespace purvex::core
