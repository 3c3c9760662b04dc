#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/fs/path_text.h"

namespace purvex::core {

// Same length and equal ordinally, ignoring case (CompareStringOrdinal).
bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b);
bool StartsWithIgnoreCase(std::wstring_view text, std::wstring_view prefix);
bool EndsWithIgnoreCase(std::wstring_view text, std::wstring_view suffix);

// A drive path ("C:\…") or a UNC path with server and share, with no character that Windows
// refuses in names. Relative paths, bare "C:" and device paths are refused.
bool IsAcceptablePath(std::wstring_view path);

// The one form every path is kept in: absolute, '\' separators, no long-path prefix, no
// doubled or trailing separators (a drive root keeps its '\'), 8.3 names expanded where they
// can be. Empty when the path is unusable.
std::wstring NormalizePath(std::wstring_view path);

// The components of a normalised path; the first is the drive ("C:") or "\\server\share".
std::vector<std::wstring> SplitPath(std::wstring_view path);

// Strictly below `parent`, ignoring case and trailing separators.
bool IsUnder(std::wstring_view path, std::wstring_view parent);
// Equal ignoring case and trailing separators.
bool PathEquals(std::wstring_view a, std::wstring_view b);

// Lower case by the invariant locale: the key of every case-insensitive set of paths or names.
std::wstring FoldCase(std::wstring_view text);

// One name against one pattern: '?' is one character, '*' any run; case is ignored.
bool WildcardMatch(std::wstring_view pattern, std::wstring_view name);

enum class PathMatch { NoMatch = 0, Equal = 1, Inside = 2 };

// Each pattern component matches the path component at the same place (WildcardMatch).
// Equal: same count; Inside: the path goes on below the pattern.
PathMatch MatchComponents(const std::vector<std::wstring>& path,
                          const std::vector<std::wstring>& pattern);

}  // namespace purvex::core
