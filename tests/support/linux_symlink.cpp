#include "support/linux_symlink.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <initializer_list>

#include "core/fs/directory.h"
#include "core/fs/path_text.h"
#include "core/text.h"
#include "core/unique_handle.h"
#include "support/child_process.h"

namespace purvex::test {
namespace {

using UnixNameFn = char*(CDECL*)(const wchar_t*);

bool IsStrictlyInside(const std::wstring& path, const std::wstring& folder) {
    if (path.size() <= folder.size() + 1 || path[folder.size()] != L'\\') {
        return false;
    }
    return CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                                static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL;
}

bool HasDotDot(std::wstring_view relative) {
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find_first_of(L"\\/", start);
        if (end == std::wstring_view::npos) {
            end = relative.size();
        }
        if (relative.substr(start, end - start) == L"..") {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// Starts a host program; Wine runs ELF binaries given by their Windows path on Z:. Wine gives
// no process handle to wait on for such a program, so callers watch for its effect instead.
DWORD StartHostTool(const std::wstring& tool, std::initializer_list<std::string> args) {
    std::wstring command = QuoteArgument(tool);
    for (const std::string& arg : args) {
        command += L" " + QuoteArgument(core::Utf8ToWide(arg));
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return GetLastError();
    }
    // For a host program the handles may be null; close whatever came back.
    core::UniqueHandle process(info.hProcess);
    core::UniqueHandle thread(info.hThread);
    return ERROR_SUCCESS;
}

// Waits (up to a generous limit) until the path is, or is no longer, visible.
bool AwaitVisible(const std::wstring& path, bool visible) {
    for (int i = 0; i < 2000; ++i) {
        const bool now =
            GetFileAttributesW(core::ToLongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
        if (now == visible) {
            return true;
        }
        Sleep(5);
    }
    return false;
}

}  // namespace

std::string UnixPathOf(const std::wstring& windowsPath) {
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto toUnix = kernel ? reinterpret_cast<UnixNameFn>(reinterpret_cast<void*>(
                                     GetProcAddress(kernel, "wine_get_unix_file_name")))
                               : nullptr;
    if (!toUnix) {
        return {};
    }
    char* name = toUnix(windowsPath.c_str());
    if (!name) {
        return {};
    }
    std::string result(name);
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

LinuxSymlink::LinuxSymlink(const ScratchDir& scratch, std::wstring_view linkRelative,
                           std::wstring_view targetRelative) {
    link_ = scratch.Sub(linkRelative);
    const std::wstring target = scratch.Sub(targetRelative);
    // Deleting through a link deletes its target under Wine: never let one point outside.
    if (HasDotDot(linkRelative) || HasDotDot(targetRelative) ||
        !IsStrictlyInside(target, scratch.Path()) || !IsStrictlyInside(link_, scratch.Path())) {
        ADD_FAILURE() << "a test link must stay inside its scratch folder";
        why_ = "link outside the scratch folder refused";
        return;
    }
    core::CreateDirectoryTree(core::ParentPath(link_));
    unixLink_ = UnixPathOf(link_);
    const std::string unixTarget = UnixPathOf(target);
    if (unixLink_.empty() || unixTarget.empty()) {
        why_ = "not running under Wine: no Linux symlinks to make";
        unixLink_.clear();
        return;
    }
    if (!core::DirectoryExists(target)) {
        ADD_FAILURE() << "make the link's target folder first";
        why_ = "missing target";
        unixLink_.clear();
        return;
    }
    if (const DWORD error = StartHostTool(L"Z:\\bin\\ln", {"-s", unixTarget, unixLink_})) {
        why_ = "the host's ln could not be started from this Wine, error " + std::to_string(error);
        unixLink_.clear();
        return;
    }
    if (!AwaitVisible(link_, true)) {
        why_ = "the host's ln made no link visible to this Wine";
        return;
    }
    made_ = true;
}

LinuxSymlink::~LinuxSymlink() {
    if (!unixLink_.empty()) {
        // rm on the link itself removes the link and leaves its target alone.
        if (StartHostTool(L"Z:\\bin\\rm", {"-f", unixLink_}) == ERROR_SUCCESS) {
            AwaitVisible(link_, false);
        }
    }
}

}  // namespace purvex::test
