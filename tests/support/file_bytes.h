#pragma once

#include <windows.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/fs/path_text.h"
#include "core/unique_handle.h"

namespace purvex::test {

// The whole content of a file, or nothing when it cannot be opened. Shares everything so that
// files the program still holds open can be read.
inline std::optional<std::string> ReadFileBytes(const std::wstring& path) {
    core::UniqueFile file(CreateFileW(core::ToLongPath(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) {
        return std::nullopt;
    }
    std::string out;
    char chunk[65536];
    DWORD read = 0;
    while (ReadFile(file.Get(), chunk, sizeof(chunk), &read, nullptr) && read > 0) {
        out.append(chunk, read);
    }
    return out;
}

// The non-empty lines of a text, without their CR LF or LF ends.
inline std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

inline bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(core::ToLongPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace purvex::test
