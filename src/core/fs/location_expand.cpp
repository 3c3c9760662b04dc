#include <windows.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "core/fs/locations.h"
#include "core/fs/paths.h"
#include "core/unique_handle.h"

namespace purvex::core {
namespace {

bool IsPlainDirectory(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

// Subfolders of `folder` whose names match `pattern`, in enumeration order; links and
// junctions are left out so that no expansion leads outside the tree it names.
void AddMatchingSubfolders(const std::wstring& folder, std::wstring_view pattern,
                           std::vector<std::wstring>& out) {
    WIN32_FIND_DATAW entry{};
    UniqueFind find(FindFirstFileExW(ToLongPath(JoinPath(folder, L"*")).c_str(), FindExInfoBasic,
                                     &entry, FindExSearchLimitToDirectories, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        return;
    }
    do {
        const std::wstring_view name = entry.cFileName;
        if (!IsPlainDirectory(entry.dwFileAttributes) || name == L"." || name == L"..") {
            continue;
        }
        if (WildcardMatch(pattern, name)) {
            out.push_back(JoinPath(folder, name));
        }
    } while (FindNextFileW(find.Get(), &entry));
}

}  // namespace

std::wstring ExpandVariables(std::wstring_view locationTemplate, const VariableResolver& resolver) {
    std::wstring out;
    std::size_t pos = 0;
    while (pos < locationTemplate.size()) {
        const std::size_t open = locationTemplate.find(L'%', pos);
        if (open == std::wstring_view::npos) {
            out.append(locationTemplate.substr(pos));
            break;
        }
        out.append(locationTemplate.substr(pos, open - pos));
        const std::size_t close = locationTemplate.find(L'%', open + 1);
        if (close == std::wstring_view::npos || close == open + 1) {
            return {};
        }
        const std::wstring name(locationTemplate.substr(open + 1, close - open - 1));
        std::wstring value = resolver ? resolver(name) : ResolveVariable(name);
        while (!value.empty() && (value.back() == L'\\' || value.back() == L'/')) {
            value.pop_back();
        }
        if (value.empty()) {
            return {};
        }
        out.append(value);
        pos = close + 1;
    }
    return out;
}

std::vector<std::wstring> ExpandLocations(std::wstring_view locationTemplate,
                                          const VariableResolver& resolver) {
    std::wstring text = ExpandVariables(locationTemplate, resolver);
    for (wchar_t& c : text) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    const bool driveForm =
        text.size() >= 3 &&
        ((text[0] >= L'a' && text[0] <= L'z') || (text[0] >= L'A' && text[0] <= L'Z')) &&
        text[1] == L':' && text[2] == L'\\';
    if (!driveForm) {
        return {};
    }
    std::vector<std::wstring_view> components;
    for (std::size_t pos = 3; pos <= text.size();) {
        std::size_t end = text.find(L'\\', pos);
        if (end == std::wstring::npos) {
            end = text.size();
        }
        const std::wstring_view component = std::wstring_view(text).substr(pos, end - pos);
        if (component == L"." || component == L"..") {
            return {};
        }
        if (!component.empty()) {
            components.push_back(component);
        }
        pos = end + 1;
    }
    std::vector<std::wstring> working{text.substr(0, 2)};
    for (const std::wstring_view component : components) {
        if (working.empty()) {
            break;
        }
        std::vector<std::wstring> next;
        if (component.find_first_of(L"*?") == std::wstring_view::npos) {
            for (const std::wstring& folder : working) {
                std::wstring child = JoinPath(folder, component);
                if (IsPlainDirectory(GetFileAttributesW(ToLongPath(child).c_str()))) {
                    next.push_back(std::move(child));
                }
            }
        } else {
            for (const std::wstring& folder : working) {
                AddMatchingSubfolders(folder, component, next);
            }
        }
        working = std::move(next);
    }
    std::vector<std::wstring> result;
    std::unordered_set<std::wstring> seen;
    for (const std::wstring& folder : working) {
        if (folder.size() < 3) {
            continue;
        }
        std::wstring normal = NormalizePath(folder);
        if (!normal.empty() && seen.insert(FoldCase(normal)).second) {
            result.push_back(std::move(normal));
        }
    }
    return result;
}

}  // namespace purvex::core
