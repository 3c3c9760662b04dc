#pragma once

#include <windows.h>

#include <string>

#include "core/fs/path_text.h"
#include "core/unique_handle.h"

namespace purvex::test {

// Runs a Linux program of the host (Wine starts ELF files given by full name) in `folder`.
// Wine neither waits for it through the handle nor passes its exit code on, so callers wait
// for its effect instead.
inline bool RunHostTool(const std::wstring& program, const std::wstring& arguments,
                        const std::wstring& folder) {
    std::wstring line = program + L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info)) {
        return false;
    }
    core::UniqueHandle process(info.hProcess);
    core::UniqueHandle thread(info.hThread);
    WaitForSingleObject(process.Get(), 30000);
    return true;
}

// Polls for an effect of a host program for up to ten seconds.
template <typename Done>
bool WaitForEffect(Done done) {
    for (int i = 0; i < 500; ++i) {
        if (done()) {
            return true;
        }
        Sleep(20);
    }
    return false;
}

inline DWORD AttributesOf(const std::wstring& path) {
    return GetFileAttributesW(core::ToLongPath(path).c_str());
}

// A Linux symbolic link `name` in `folder` to the sibling `target` (relative, so it never
// leaves the folder). Windows shows it as a directory reparse point. Such links cannot be
// made through Windows calls under Wine, and deleting through them deletes their target,
// so tests remove them again with RemoveLinuxLink, never with Windows calls.
inline bool MakeLinuxLink(const std::wstring& folder, const std::wstring& target,
                          const std::wstring& name) {
    const std::wstring link = folder + L"\\" + name;
    return RunHostTool(L"Z:\\bin\\ln", L"-s " + target + L" " + name, folder) &&
           WaitForEffect([&link] {
               const DWORD attributes = AttributesOf(link);
               return attributes != INVALID_FILE_ATTRIBUTES &&
                      (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
           });
}

inline bool RemoveLinuxLink(const std::wstring& folder, const std::wstring& name) {
    const std::wstring link = folder + L"\\" + name;
    return RunHostTool(L"Z:\\bin\\rm", name, folder) &&
           WaitForEffect([&link] { return AttributesOf(link) == INVALID_FILE_ATTRIBUTES; });
}

}  // namespace purvex::test
