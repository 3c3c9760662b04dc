#include "core/fs/paths.h"

#include <windows.h>

#include <new>

#include "core/fs/directory.h"
#include "core/fs/final_path.h"

namespace purvex::core {
namespace {

bool IsAsciiLetter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

bool IsRefusedCharacter(wchar_t c) {
    return c < 0x20 || c == L'"' || c == L'*' || c == L'<' || c == L'>' || c == L'?' || c == L'|';
}

bool IsUncServerAndShare(std::wstring_view path) {
    if (path.size() < 2 || path[0] != L'\\' || path[1] != L'\\') {
        return false;
    }
    const std::wstring_view rest = path.substr(2);
    const std::size_t serverEnd = rest.find(L'\\');
    if (serverEnd == std::wstring_view::npos) {
        return false;
    }
    const std::wstring_view server = rest.substr(0, serverEnd);
    if (server.empty() || server == L".") {
        return false;
    }
    const std::wstring_view share = rest.substr(serverEnd + 1);
    return !share.empty() && share.front() != L'\\';
}

std::wstring_view TrimTrailingBackslashes(std::wstring_view path) {
    while (path.size() > 3 && path.back() == L'\\') {
        path.remove_suffix(1);
    }
    return path;
}

// 8.3 names can only be expanded for the part of the path that exists; the rest is kept.
std::wstring ExpandShortNames(const std::wstring& full) {
    std::wstring prefix = full;
    std::wstring tail;
    for (;;) {
        const std::wstring expanded = LongPathName(prefix);
        if (!expanded.empty()) {
            return tail.empty() ? expanded : JoinPath(expanded, tail);
        }
        const std::wstring parent = ParentPath(prefix);
        if (parent.empty() || parent.size() >= prefix.size()) {
            return full;
        }
        const std::wstring name = FileNamePart(prefix);
        tail = tail.empty() ? name : name + L"\\" + tail;
        prefix = parent;
    }
}

std::wstring NormalizeUnchecked(std::wstring_view input) {
    std::wstring path(input);
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    if (StartsWithIgnoreCase(path, L"\\\\?\\UNC\\")) {
        path = L"\\\\" + path.substr(8);
    } else if (path.starts_with(L"\\\\?\\") || path.starts_with(L"\\??\\")) {
        path.erase(0, 4);
    }
    const bool unc = path.starts_with(L"\\\\");
    std::wstring collapsed;
    collapsed.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == L'\\' && !collapsed.empty() && collapsed.back() == L'\\' &&
            !(unc && i == 1)) {
            continue;
        }
        collapsed.push_back(path[i]);
    }
    if (!IsAcceptablePath(collapsed)) {
        return {};
    }
    std::wstring full = GetFullPath(collapsed);
    if (full.empty()) {
        return {};
    }
    if (full.find(L'~') != std::wstring::npos) {
        full = ExpandShortNames(full);
    }
    full.resize(TrimTrailingBackslashes(full).size());
    return full;
}

}  // namespace

bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    if (a.empty()) {
        return true;
    }
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool StartsWithIgnoreCase(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

bool EndsWithIgnoreCase(std::wstring_view text, std::wstring_view suffix) {
    return text.size() >= suffix.size() &&
           EqualsIgnoreCase(text.substr(text.size() - suffix.size()), suffix);
}

bool IsAcceptablePath(std::wstring_view path) {
    if (path.empty()) {
        return false;
    }
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (IsRefusedCharacter(path[i]) || (path[i] == L':' && i != 1)) {
            return false;
        }
    }
    if (path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == L':' && path[2] == L'\\') {
        return true;
    }
    return IsUncServerAndShare(path);
}

std::wstring NormalizePath(std::wstring_view path) {
    try {
        return NormalizeUnchecked(path);
    } catch (...) {
        return {};
    }
}

std::vector<std::wstring> SplitPath(std::wstring_view path) {
    std::vector<std::wstring> parts;
    if (path.empty()) {
        return parts;
    }
    std::size_t pos = 0;
    if (path.starts_with(L"\\\\")) {
        const std::size_t serverEnd = path.find(L'\\', 2);
        const std::size_t shareEnd =
            serverEnd == std::wstring_view::npos ? serverEnd : path.find(L'\\', serverEnd + 1);
        if (serverEnd == std::wstring_view::npos || shareEnd == std::wstring_view::npos) {
            parts.emplace_back(path);
            return parts;
        }
        parts.emplace_back(path.substr(0, shareEnd));
        pos = shareEnd;
    } else {
        const std::size_t first = path.find(L'\\');
        parts.emplace_back(path.substr(0, first));
        if (first == std::wstring_view::npos) {
            return parts;
        }
        pos = first;
    }
    while (pos < path.size()) {
        const std::size_t start = pos + 1;
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring_view::npos) {
            end = path.size();
        }
        if (end > start) {
            parts.emplace_back(path.substr(start, end - start));
        }
        pos = end;
    }
    return parts;
}

bool IsUnder(std::wstring_view path, std::wstring_view parent) {
    path = TrimTrailingBackslashes(path);
    parent = TrimTrailingBackslashes(parent);
    if (parent.empty() || parent.size() >= path.size() || !StartsWithIgnoreCase(path, parent)) {
        return false;
    }
    return parent.back() == L'\\' || path[parent.size()] == L'\\';
}

bool PathEquals(std::wstring_view a, std::wstring_view b) {
    return EqualsIgnoreCase(TrimTrailingBackslashes(a), TrimTrailingBackslashes(b));
}

std::wstring FoldCase(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int needed = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, text.data(), length,
                                     nullptr, 0, nullptr, nullptr, 0);
    if (needed <= 0) {
        return std::wstring(text);
    }
    std::wstring out(static_cast<std::size_t>(needed), L'\0');
    const int written = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, text.data(), length,
                                      out.data(), needed, nullptr, nullptr, 0);
    if (written <= 0) {
        return std::wstring(text);
    }
    out.resize(static_cast<std::size_t>(written));
    return out;
}

bool WildcardMatch(std::wstring_view pattern, std::wstring_view name) {
    if (pattern == L"*") {
        return true;
    }
    if (pattern.find_first_of(L"*?") == std::wstring_view::npos) {
        return EqualsIgnoreCase(pattern, name);
    }
    const std::wstring p = FoldCase(pattern);
    const std::wstring n = FoldCase(name);
    std::size_t pi = 0;
    std::size_t ni = 0;
    std::size_t star = std::wstring::npos;
    std::size_t mark = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == L'*') {
            star = pi++;
            mark = ni;
        } else if (pi < p.size() && (p[pi] == L'?' || p[pi] == n[ni])) {
            ++pi;
            ++ni;
        } else if (star != std::wstring::npos) {
            pi = star + 1;
            ni = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == L'*') {
        ++pi;
    }
    return pi == p.size();
}

PathMatch MatchComponents(const std::vector<std::wstring>& path,
                          const std::vector<std::wstring>& pattern) {
    if (pattern.empty() || path.size() < pattern.size()) {
        return PathMatch::NoMatch;
    }
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (!WildcardMatch(pattern[i], path[i])) {
            return PathMatch::NoMatch;
        }
    }
    return path.size() == pattern.size() ? PathMatch::Equal : PathMatch::Inside;
}

}  // namespace purvex::core
