#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace purvex::junk {

// Whether a folder name marks a cache or temp folder ("Cache", "GPUCache", ".cache", "temp",
// ...). "CacheStorage" counts only below "Service Worker"; `parent` is the name before it.
bool IsCacheFolderName(std::wstring_view name, std::wstring_view parent);

// The end of the first cache-folder component of `path` at or after `startAt`: the index of
// the backslash after it, or the path's length when it is the last component (only when
// `allowLast`). 0 when there is none. A user's profile folder itself (C:\Users\TEMP, the
// temporary profile Windows signs users in with) is never a cache folder.
std::size_t FindCacheFolder(std::wstring_view path, bool allowLast, std::size_t startAt);

// C:\Users\<user>\<name> or below, where <name> is one of the user's own folders (Documents,
// Desktop, OneDrive, "OneDrive - Org", ...): never searched.
bool IsUserDataFolder(std::wstring_view path);

// Inside some user's AppData\Local, AppData\Roaming or AppData\LocalLow.
bool IsInAppData(std::wstring_view path);

// A folder whose every direct child the safety rules protect and which holds no allowed junk
// area: nothing below it could ever be offered, so it is not searched.
bool IsShieldedFolder(const std::wstring& dir);

// The cache names that are known to hold only regenerable data.
bool IsWellKnownCacheName(std::wstring_view name);

// The application area a cache folder belongs to: the folder the group stands for and the
// name it is shown with.
struct DeepGroupKey {
    std::wstring location;
    std::wstring label;
};
DeepGroupKey DeepGroupKeyOf(std::wstring_view folder);

// "junk.deep." followed by the location in lower case.
std::string DeepGroupId(std::wstring_view location);

}  // namespace purvex::junk
