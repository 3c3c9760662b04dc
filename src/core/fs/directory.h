#pragma once

#include <string>

namespace purvex::core {

// Creates the folder and every missing parent; an existing folder counts as success, an
// existing file in the way does not.
bool CreateDirectoryTree(const std::wstring& path);

// True when the path names an existing folder (not a file).
bool DirectoryExists(const std::wstring& path);

}  // namespace purvex::core

namespace purvex::core {

// The absolute form of a possibly relative path (GetFullPathNameW), or empty on failure.
std::wstring GetFullPath(const std::wstring& path);

}  // namespace purvex::core
