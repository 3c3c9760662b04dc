#pragma once

#include <string>

#include "core/unique_handle.h"
#include "support/child_process.h"

namespace purvex::test {

// Another process that keeps a file open with read sharing only (no write or delete sharing)
// for the holder's lifetime.
class FileHolder {
public:
    explicit FileHolder(const std::wstring& path);
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;
    ~FileHolder();

    // True once the other process has the file open.
    [[nodiscard]] bool Holding() const noexcept { return holding_; }

private:
    std::wstring prefix_;
    core::UniqueHandle ready_;
    core::UniqueHandle release_;
    ChildProcess child_;
    bool holding_ = false;
};

}  // namespace purvex::test
