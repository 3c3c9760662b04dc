#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "core/delete_types.h"
#include "core/unique_handle.h"

namespace purvex::core {

enum class LogLevel { Debug = 0, Info = 1, Warn = 2, Error = 3 };

// Fills the time used for log lines and file names; tests pin it to a fixed moment.
using LogClock = std::function<void(SYSTEMTIME&)>;

// The two daily logs of the logs folder: "app_" lines of four levels and "clean_" lines, one
// per item that a cleanup touched. Lines are buffered and written in batches; warnings and
// errors reach the disk at once. Never throws and never reports its own failures: a folder
// that cannot be used just leaves file logging off.
class Log {
public:
    Log();
    ~Log();
    Log(const Log&) = delete;
    Log& operator=(const Log&) = delete;

    static Log& Instance();

    // Closes any open files, then enables logging into the folder when it exists or can be
    // created; otherwise every later line is dropped.
    void Open(const std::wstring& folder);
    [[nodiscard]] bool IsEnabled();
    // Deletes this log's files that were last written more than 30 days ago.
    void RemoveOldFiles();
    void Flush();
    void Close();
    // Empty while the log is not enabled.
    std::wstring CleanLogPathForToday();
    // An empty clock means local time.
    void SetClock(LogClock clock);

    void Write(LogLevel level, std::wstring_view message);
    void WriteClean(std::wstring_view path, std::uint64_t bytes, DeleteOutcome outcome,
                    std::uint32_t error);

private:
    struct Stream {
        std::wstring prefix;
        std::wstring day;
        UniqueFile file;
        std::string buffer;
    };

    SYSTEMTIME Now() const;
    void SwitchDay(Stream& stream, const std::wstring& today);
    void FlushStream(Stream& stream);
    void FlushAll();
    void CloseStreams();

    std::mutex mutex_;
    bool enabled_ = false;
    std::wstring folder_;
    Stream app_;
    Stream clean_;
    std::uint64_t lastFlush_ = 0;
    LogClock clock_;
};

void LogWrite(LogLevel level, std::wstring_view message);
void CleanLogWrite(std::wstring_view path, std::uint64_t bytes, DeleteOutcome outcome,
                   std::uint32_t error);

}  // namespace purvex::core
