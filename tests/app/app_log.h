#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "core/fs/path_text.h"
#include "core/log.h"
#include "core/unique_handle.h"
#include "support/file_bytes.h"
#include "support/scratch_dir.h"

namespace purvex::test {

// Every application log in a logs folder, in name order.
inline std::string ReadAppLogs(const std::wstring& folder) {
    std::string all;
    WIN32_FIND_DATAW data = {};
    core::UniqueFind find(
        FindFirstFileW(core::ToLongPath(core::JoinPath(folder, L"app_*.log")).c_str(), &data));
    if (find) {
        do {
            all += ReadFileBytes(core::JoinPath(folder, data.cFileName)).value_or("");
        } while (FindNextFileW(find.Get(), &data));
    }
    return all;
}

inline int CountOf(const std::string& all, std::string_view text) {
    int count = 0;
    for (std::size_t at = all.find(text); at != std::string::npos;
         at = all.find(text, at + text.size())) {
        ++count;
    }
    return count;
}

// Sends the process-wide application log into a scratch folder for one test and reads back
// what was written. Logging is off again afterwards.
class AppLog {
public:
    AppLog() { core::Log::Instance().Open(dir_.Path()); }
    AppLog(const AppLog&) = delete;
    AppLog& operator=(const AppLog&) = delete;
    ~AppLog() { core::Log::Instance().Close(); }

    std::string Text() const {
        core::Log::Instance().Flush();
        return ReadAppLogs(dir_.Path());
    }

    int Count(std::string_view text) const { return CountOf(Text(), text); }

private:
    ScratchDir dir_;
};

}  // namespace purvex::test
