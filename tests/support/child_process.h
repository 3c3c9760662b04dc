#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "core/unique_handle.h"

namespace purvex::test {

// The folder of the running test program; the product's exe is built beside it.
std::wstring BinFolder();
std::wstring PurvexExe();

// A child process started from a full command line, killed if still running at destruction.
class ChildProcess {
public:
    // Starts without waiting; Valid() tells whether it started.
    explicit ChildProcess(const std::wstring& commandLine,
                          const std::wstring& extraEnvironment = {});
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    [[nodiscard]] bool Valid() const noexcept { return process_.Valid(); }
    // Why CreateProcessW refused, when it did.
    [[nodiscard]] DWORD StartError() const noexcept { return startError_; }
    // The exit code, or nothing when it did not end within the time.
    std::optional<DWORD> Wait(DWORD timeoutMs);
    void Kill();

private:
    core::UniqueHandle process_;
    DWORD startError_ = 0;
};

// Runs a command line to its end; nothing when it could not start or timed out, each also
// reported as a test failure that says which.
std::optional<DWORD> RunToExit(const std::wstring& commandLine, DWORD timeoutMs = 60000);

// Quotes one argument for CommandLineToArgvW.
std::wstring QuoteArgument(const std::wstring& argument);

}  // namespace purvex::test
