#include "modules/junk/deep_paths.h"

#include <algorithm>
#include <vector>

#include "core/fs/path_text.h"
#include "core/fs/paths.h"
#include "core/safety/safety_rules.h"
#include "core/text.h"

namespace purvex::junk {
namespace {

constexpr std::wstring_view kCacheNames[] = {
    L"temp",     L"cache",       L"caches",    L"cache2",      L".cache",    L"code cache",
    L"gpucache", L"shadercache", L"d3dscache", L"media cache", L"htmlcache", L"crashdumps",
};

constexpr std::wstring_view kWellKnownCacheNames[] = {
    L"code cache", L"gpucache",     L"shadercache", L"d3dscache",
    L"cache2",     L"cachestorage", L"htmlcache",
};

constexpr std::wstring_view kUserDataNames[] = {
    L"Documents", L"Desktop", L"Downloads", L"Pictures",    L"Videos", L"Music",    L"Favorites",
    L"Contacts",  L"Links",   L"Searches",  L"Saved Games", L"source", L"OneDrive",
};

constexpr std::wstring_view kAppDataMarks[] = {
    L"\\AppData\\Local\\",
    L"\\AppData\\Roaming\\",
    L"\\AppData\\LocalLow\\",
};

bool IsOneOf(std::wstring_view name, const auto& list) {
    return std::any_of(std::begin(list), std::end(list), [&](std::wstring_view entry) {
        return core::EqualsIgnoreCase(name, entry);
    });
}

// The path's components without empty ones, so that doubled or trailing separators change
// nothing.
std::vector<std::wstring_view> Components(std::wstring_view path, std::size_t limit = SIZE_MAX) {
    std::vector<std::wstring_view> parts;
    std::size_t pos = 0;
    while (pos < path.size() && parts.size() < limit) {
        std::size_t end = path.find(L'\\', pos);
        if (end == std::wstring_view::npos) {
            end = path.size();
        }
        if (end > pos) {
            parts.push_back(path.substr(pos, end - pos));
        }
        pos = end + 1;
    }
    return parts;
}

// The name of the component that ends just before `begin` (separators skipped).
std::wstring_view ComponentBefore(std::wstring_view path, std::size_t begin) {
    std::size_t end = begin;
    while (end > 0 && path[end - 1] == L'\\') {
        --end;
    }
    if (end == 0) {
        return {};
    }
    const std::size_t slash = path.find_last_of(L'\\', end - 1);
    const std::size_t start = slash == std::wstring_view::npos ? 0 : slash + 1;
    return path.substr(start, end - start);
}

// C:\Users\<name> itself: the component starting at `begin` sits right below C:\Users.
bool IsProfileFolder(std::wstring_view path, std::size_t begin) {
    const std::vector<std::wstring_view> above = Components(path.substr(0, begin), 3);
    return above.size() == 2 && core::EqualsIgnoreCase(above[1], L"Users");
}

bool ContainsIgnoreCase(std::wstring_view text, std::wstring_view part) {
    for (std::size_t i = 0; i + part.size() <= text.size(); ++i) {
        if (core::EqualsIgnoreCase(text.substr(i, part.size()), part)) {
            return true;
        }
    }
    return false;
}

std::wstring Join(const std::vector<std::wstring_view>& parts, std::size_t from, std::size_t to) {
    std::wstring joined;
    for (std::size_t i = from; i < to; ++i) {
        if (i > from) {
            joined.push_back(L'\\');
        }
        joined.append(parts[i]);
    }
    return joined;
}

}  // namespace

bool IsCacheFolderName(std::wstring_view name, std::wstring_view parent) {
    if (IsOneOf(name, kCacheNames)) {
        return true;
    }
    return core::EqualsIgnoreCase(name, L"CacheStorage") &&
           core::EqualsIgnoreCase(parent, L"Service Worker");
}

std::size_t FindCacheFolder(std::wstring_view path, bool allowLast, std::size_t startAt) {
    std::size_t pos = startAt;
    while (pos < path.size()) {
        if (path[pos] == L'\\') {
            ++pos;
            continue;
        }
        std::size_t end = path.find(L'\\', pos);
        if (end == std::wstring_view::npos) {
            end = path.size();
        }
        const bool last = end >= path.size() || end + 1 >= path.size();
        if ((allowLast || !last) &&
            IsCacheFolderName(path.substr(pos, end - pos), ComponentBefore(path, pos)) &&
            !IsProfileFolder(path, pos)) {
            return end;
        }
        pos = end;
    }
    return 0;
}

bool IsUserDataFolder(std::wstring_view path) {
    const std::vector<std::wstring_view> parts = Components(path, 4);
    if (parts.size() < 4 || !core::EqualsIgnoreCase(parts[1], L"Users")) {
        return false;
    }
    const std::wstring_view name = parts[3];
    return IsOneOf(name, kUserDataNames) ||
           (name.size() >= 8 && core::StartsWithIgnoreCase(name, L"OneDrive"));
}

bool IsInAppData(std::wstring_view path) {
    return std::any_of(std::begin(kAppDataMarks), std::end(kAppDataMarks),
                       [&](std::wstring_view mark) { return ContainsIgnoreCase(path, mark); });
}

bool IsShieldedFolder(const std::wstring& dir) {
    const core::SafetyRules& rules = core::SafetyRules::Instance();
    return rules.IsCritical(core::JoinPath(dir, L"x")) && !rules.ContainsAllowedArea(dir);
}

bool IsWellKnownCacheName(std::wstring_view name) {
    return IsOneOf(name, kWellKnownCacheNames);
}

DeepGroupKey DeepGroupKeyOf(std::wstring_view folder) {
    const std::vector<std::wstring_view> p = Components(folder);
    const std::size_t n = p.size();
    if (n == 0) {
        return {};
    }
    const std::size_t last = n - 1;
    std::size_t start = 0;
    std::size_t anchor = 1;
    bool wholeLocation = false;
    if (n > 3 && core::EqualsIgnoreCase(p[1], L"Users")) {
        // The application's folder right below AppData\Local (Roaming, LocalLow); without
        // AppData the folder right below the profile.
        start = anchor = 3;
        for (std::size_t k = 3; k + 1 < last; ++k) {
            if (core::EqualsIgnoreCase(p[k], L"AppData") &&
                IsOneOf(p[k + 1], std::initializer_list<std::wstring_view>{L"Local", L"Roaming",
                                                                           L"LocalLow"})) {
                start = anchor = k + 2;
                break;
            }
        }
    } else if (n > 1 && (core::EqualsIgnoreCase(p[1], L"ProgramData") ||
                         core::EqualsIgnoreCase(p[1], L"Windows"))) {
        start = 1;
        anchor = 2;
    } else {
        wholeLocation = true;
    }
    const std::size_t b = std::min(last, anchor);
    const std::size_t e = std::min(last, b + 2);
    const std::size_t end = b < e ? e : n;
    start = std::min(start, end - 1);

    DeepGroupKey key;
    key.location = Join(p, 0, end);
    key.label = wholeLocation ? key.location : Join(p, start, end);
    return key;
}

std::string DeepGroupId(std::wstring_view location) {
    return "junk.deep." + core::WideToUtf8(core::FoldCase(location));
}

}  // namespace purvex::junk
