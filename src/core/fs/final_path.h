#pragma once

#include <windows.h>

#include <string>

namespace purvex::core {

// The path an open handle really refers to, in drive-letter form without the long-path
// prefix, or empty when it cannot be told. Used to prove that a file opened by name is the one
// that was meant (no link or junction redirected the open).
std::wstring FinalPathOfHandle(HANDLE handle);

// The long (not 8.3) spelling of an existing path, without the long-path prefix, or empty.
std::wstring LongPathName(const std::wstring& path);

}  // namespace purvex::core
