#pragma once

// Helpers shared by the benchmarks that generate a folder tree inside the Wine prefix.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "core/fs/path_text.h"
#include "core/unique_handle.h"

namespace purvex::bench {

struct TreeCounts {
    std::uint64_t files = 0;
    std::uint64_t dirs = 0;
};

// The baseline every scan is measured against: a straightforward single-threaded
// FindFirstFileExW recursion that never enters links.
inline void FindRecursive(const std::wstring& folder, TreeCounts& counts) {
    WIN32_FIND_DATAW data{};
    core::UniqueFind find(FindFirstFileExW(core::ToLongPath(folder + L"\\*").c_str(),
                                           FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        return;
    }
    do {
        if (data.cFileName[0] == L'.' &&
            (data.cFileName[1] == 0 || (data.cFileName[1] == L'.' && data.cFileName[2] == 0))) {
            continue;
        }
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ++counts.dirs;
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                FindRecursive(folder + L"\\" + data.cFileName, counts);
            }
        } else {
            ++counts.files;
        }
    } while (FindNextFileW(find.Get(), &data));
}

// The benchmarks' own trees hold no links, so a plain recursive removal is enough here.
inline void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data{};
    core::UniqueFind find(FindFirstFileExW(core::ToLongPath(folder + L"\\*").c_str(),
                                           FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH));
    if (find) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring child = folder + L"\\" + name;
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                RemoveTree(child);
            } else {
                DeleteFileW(core::ToLongPath(child).c_str());
            }
        } while (FindNextFileW(find.Get(), &data));
    }
    find.Reset();
    RemoveDirectoryW(core::ToLongPath(folder).c_str());
}

inline double TimeMs(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace purvex::bench
