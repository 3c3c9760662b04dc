#include "support/child_process.h"

#include <gtest/gtest.h>
#include <vector>

#include "core/text.h"

namespace purvex::test {

std::wstring BinFolder() {
    std::vector<wchar_t> buffer(32768);
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    std::wstring path(buffer.data(), length);
    return path.substr(0, path.find_last_of(L"\\/"));
}

std::wstring PurvexExe() {
    return BinFolder() + L"\\purvex.exe";
}

std::wstring QuoteArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            out.append(backslashes * 2 + 1, L'\\');
        } else {
            out.append(backslashes, L'\\');
        }
        backslashes = 0;
        out.push_back(c);
    }
    out.append(backslashes * 2, L'\\');
    out.push_back(L'"');
    return out;
}

ChildProcess::ChildProcess(const std::wstring& commandLine, const std::wstring& extraEnvironment) {
    std::wstring mutableLine = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // extraEnvironment is "NAME=value" pairs separated by '\n', added to this process's own.
    std::wstring environment;
    if (!extraEnvironment.empty()) {
        if (wchar_t* block = GetEnvironmentStringsW()) {
            for (const wchar_t* p = block; *p; p += wcslen(p) + 1) {
                environment.append(p).push_back(L'\0');
            }
            FreeEnvironmentStringsW(block);
        }
        std::size_t start = 0;
        while (start <= extraEnvironment.size()) {
            const std::size_t end = extraEnvironment.find(L'\n', start);
            const std::wstring pair = extraEnvironment.substr(start, end - start);
            if (!pair.empty()) {
                environment.append(pair).push_back(L'\0');
            }
            if (end == std::wstring::npos) {
                break;
            }
            start = end + 1;
        }
        environment.push_back(L'\0');
    }
    if (CreateProcessW(
            nullptr, mutableLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
            environment.empty() ? nullptr : environment.data(), nullptr, &startup, &info)) {
        CloseHandle(info.hThread);
        process_.Reset(info.hProcess);
    } else {
        startError_ = GetLastError();
    }
}

ChildProcess::~ChildProcess() {
    Kill();
}

std::optional<DWORD> ChildProcess::Wait(DWORD timeoutMs) {
    if (!process_ || WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.Get(), &code);
    return code;
}

void ChildProcess::Kill() {
    if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.Get(), 99);
        WaitForSingleObject(process_.Get(), 5000);
    }
}

std::optional<DWORD> RunToExit(const std::wstring& commandLine, DWORD timeoutMs) {
    ChildProcess child(commandLine);
    if (!child.Valid()) {
        ADD_FAILURE() << "cannot start " << core::WideToUtf8(commandLine) << " (error "
                      << child.StartError() << ")";
        return std::nullopt;
    }
    const std::optional<DWORD> code = child.Wait(timeoutMs);
    if (!code) {
        ADD_FAILURE() << core::WideToUtf8(commandLine) << " did not end within " << timeoutMs
                      << " ms";
    }
    return code;
}

}  // namespace purvex::test
