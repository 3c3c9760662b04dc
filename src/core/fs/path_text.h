#pragma once

#include <string>
#include <string_view>

namespace purvex::core {

// "\\?\" in front (UNC paths as "\\?\UNC\…"), so that file-system calls accept paths longer
// than MAX_PATH. Every file-system call of the program takes its path through this.
std::wstring ToLongPath(std::wstring_view path);
// The inverse, for what GetFinalPathNameByHandleW returns.
std::wstring StripLongPathPrefix(std::wstring_view path);

std::wstring JoinPath(std::wstring_view a, std::wstring_view b);
// "C:\dir" → "C:\"; "C:\" and "C:" → empty.
std::wstring ParentPath(std::wstring_view path);
std::wstring FileNamePart(std::wstring_view path);
// Trailing "\" and "/" removed, but a drive root keeps its own ("C:\\" stays "C:\\").
std::wstring WithoutTrailingSeparators(std::wstring path);

}  // namespace purvex::core
