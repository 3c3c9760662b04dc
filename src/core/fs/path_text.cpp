#include "core/fs/path_text.h"

namespace purvex::core {
namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool StartsWith(std::wstring_view s, std::wstring_view prefix) {
    return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

bool StartsWithIgnoreCase(std::wstring_view s, std::wstring_view prefix) {
    if (s.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        wchar_t a = s[i];
        wchar_t b = prefix[i];
        if (a >= L'a' && a <= L'z') {
            a = static_cast<wchar_t>(a - L'a' + L'A');
        }
        if (b >= L'a' && b <= L'z') {
            b = static_cast<wchar_t>(b - L'a' + L'A');
        }
        if (a != b) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::wstring ToLongPath(std::wstring_view path) {
    if (StartsWith(path, L"\\\\?\\")) {
        return std::wstring(path);
    }
    if (StartsWith(path, L"\\\\")) {
        return L"\\\\?\\UNC\\" + std::wstring(path.substr(2));
    }
    return L"\\\\?\\" + std::wstring(path);
}

std::wstring StripLongPathPrefix(std::wstring_view path) {
    if (StartsWithIgnoreCase(path, L"\\\\?\\UNC\\")) {
        return L"\\\\" + std::wstring(path.substr(8));
    }
    if (StartsWith(path, L"\\\\?\\")) {
        return std::wstring(path.substr(4));
    }
    return std::wstring(path);
}

std::wstring JoinPath(std::wstring_view a, std::wstring_view b) {
    while (!b.empty() && IsSeparator(b.front())) {
        b.remove_prefix(1);
    }
    if (a.empty()) {
        return std::wstring(b);
    }
    std::wstring out(a);
    if (!IsSeparator(out.back())) {
        out.push_back(L'\\');
    }
    out.append(b);
    return out;
}

std::wstring ParentPath(std::wstring_view path) {
    while (path.size() > 3 && IsSeparator(path.back())) {
        path.remove_suffix(1);
    }
    const std::size_t pos = path.find_last_of(L"\\/");
    if (pos == std::wstring_view::npos) {
        return {};
    }
    const bool driveForm = path.size() >= 2 && path[1] == L':';
    if (driveForm && (pos == 2 || path.size() <= 3)) {
        // "C:\dir" has the root as parent; the root itself has none.
        if (path.size() <= 3) {
            return {};
        }
        return std::wstring(path.substr(0, 3));
    }
    return std::wstring(path.substr(0, pos));
}

std::wstring FileNamePart(std::wstring_view path) {
    const std::size_t pos = path.find_last_of(L"\\/");
    return pos == std::wstring_view::npos ? std::wstring(path) : std::wstring(path.substr(pos + 1));
}

std::wstring WithoutTrailingSeparators(std::wstring path) {
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) {
        path.pop_back();
    }
    return path;
}

}  // namespace purvex::core
