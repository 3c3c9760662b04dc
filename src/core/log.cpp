#include "core/log.h"

#include <cstdio>
#include <utility>

#include "core/fs/directory.h"
#include "core/fs/final_path.h"
#include "core/fs/path_text.h"
#include "core/fs/paths.h"
#include "core/system_time.h"
#include "core/text.h"

namespace purvex::core {
namespace {

constexpr std::size_t kFlushBytes = 65536;
constexpr std::uint64_t kFlushIntervalMs = 2000;
// Thirty days in FILETIME units of 100 ns.
constexpr std::uint64_t kRetention = 30ull * 24 * 60 * 60 * 10'000'000;

std::string_view LevelName(LogLevel level) {
    switch (level) {
        case LogLevel::Debug:
            return "DEBUG";
        case LogLevel::Info:
            return "INFO";
        case LogLevel::Warn:
            return "WARN";
        case LogLevel::Error:
            return "ERROR";
    }
    return "INFO";
}

std::string FormatTime(const SYSTEMTIME& t) {
    char text[32];
    std::snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u.%03u", t.wYear, t.wMonth,
                  t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
    return text;
}

std::wstring FormatDay(const SYSTEMTIME& t) {
    wchar_t text[16];
    std::swprintf(text, 16, L"%04u%02u%02u", t.wYear, t.wMonth, t.wDay);
    return text;
}

// Keeps every entry on one line of the file whatever the message holds.
std::string OneLineUtf8(std::wstring_view text) {
    std::string out = WideToUtf8(text);
    for (char& c : out) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return out;
}

std::uint64_t ToUint64(const FILETIME& t) {
    return (std::uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

bool IsLogFileName(std::wstring_view name) {
    return (StartsWithIgnoreCase(name, L"app_") || StartsWithIgnoreCase(name, L"clean_")) &&
           EndsWithIgnoreCase(name, L".log");
}

// The folder must be a real folder reached by its own name: a junction or link in its place
// could point retention at files that are not ours.
bool IsPlainFolderAt(const std::wstring& folder) {
    UniqueFile handle(
        CreateFileW(ToLongPath(folder).c_str(), FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle.Get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return false;
    }
    const std::wstring finalPath = FinalPathOfHandle(handle.Get());
    const std::wstring longForm = LongPathName(folder);
    return !finalPath.empty() && !longForm.empty() && EqualsIgnoreCase(finalPath, longForm);
}

}  // namespace

Log::Log() {
    app_.prefix = L"app_";
    clean_.prefix = L"clean_";
}

Log::~Log() {
    Close();
}

Log& Log::Instance() {
    static Log log;
    return log;
}

SYSTEMTIME Log::Now() const {
    SYSTEMTIME t{};
    if (clock_) {
        clock_(t);
    } else {
        GetLocalTime(&t);
    }
    return t;
}

void Log::SetClock(LogClock clock) {
    std::lock_guard lock(mutex_);
    clock_ = std::move(clock);
}

void Log::Open(const std::wstring& folder) {
    std::lock_guard lock(mutex_);
    if (enabled_) {
        FlushAll();
        CloseStreams();
    }
    enabled_ = false;
    if (folder.empty() || !CreateDirectoryTree(folder)) {
        folder_.clear();
        return;
    }
    folder_ = folder;
    enabled_ = true;
    lastFlush_ = GetTickCount64();
}

bool Log::IsEnabled() {
    std::lock_guard lock(mutex_);
    return enabled_;
}

void Log::RemoveOldFiles() {
    std::wstring folder;
    {
        std::lock_guard lock(mutex_);
        if (!enabled_) {
            return;
        }
        folder = folder_;
    }
    if (!IsPlainFolderAt(folder)) {
        return;
    }
    const std::uint64_t now = SystemFileTimeNow();
    if (now <= kRetention) {
        return;
    }
    const std::uint64_t cutoff = now - kRetention;
    WIN32_FIND_DATAW entry{};
    UniqueFind find(FindFirstFileExW(ToLongPath(JoinPath(folder, L"*")).c_str(), FindExInfoBasic,
                                     &entry, FindExSearchNameMatch, nullptr, 0));
    if (!find) {
        return;
    }
    unsigned removed = 0;
    do {
        const DWORD attributes = entry.dwFileAttributes;
        if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
            !IsLogFileName(entry.cFileName) || ToUint64(entry.ftLastWriteTime) >= cutoff) {
            continue;
        }
        if (DeleteFileW(ToLongPath(JoinPath(folder, entry.cFileName)).c_str())) {
            ++removed;
        }
    } while (FindNextFileW(find.Get(), &entry));
    if (removed != 0) {
        Write(LogLevel::Info,
              L"Removed " + std::to_wstring(removed) + L" log file(s) older than 30 days");
    }
}

void Log::Flush() {
    std::lock_guard lock(mutex_);
    FlushAll();
}

void Log::Close() {
    std::lock_guard lock(mutex_);
    FlushAll();
    CloseStreams();
}

std::wstring Log::CleanLogPathForToday() {
    std::lock_guard lock(mutex_);
    if (!enabled_) {
        return {};
    }
    return JoinPath(folder_, clean_.prefix + FormatDay(Now()) + L".log");
}

void Log::Write(LogLevel level, std::wstring_view message) {
    const std::string text = OneLineUtf8(message);
    const std::string thread = std::to_string(GetCurrentThreadId());
    std::lock_guard lock(mutex_);
    if (!enabled_) {
        return;
    }
    const SYSTEMTIME now = Now();
    SwitchDay(app_, FormatDay(now));
    app_.buffer.append(FormatTime(now))
        .append(" [")
        .append(LevelName(level))
        .append("] [")
        .append(thread)
        .append("] ")
        .append(text)
        .append("\r\n");
    const std::uint64_t tick = GetTickCount64();
    if (level == LogLevel::Warn || level == LogLevel::Error || app_.buffer.size() >= kFlushBytes ||
        tick - lastFlush_ >= kFlushIntervalMs) {
        FlushAll();
    }
}

void Log::WriteClean(std::wstring_view path, std::uint64_t bytes, DeleteOutcome outcome,
                     std::uint32_t error) {
    const std::string text = OneLineUtf8(path);
    std::lock_guard lock(mutex_);
    if (!enabled_) {
        return;
    }
    const SYSTEMTIME now = Now();
    SwitchDay(clean_, FormatDay(now));
    clean_.buffer.append(FormatTime(now))
        .append("\t")
        .append(DeleteOutcomeName(outcome))
        .append("\t")
        .append(std::to_string(bytes))
        .append("\t")
        .append(std::to_string(error))
        .append("\t")
        .append(text)
        .append("\r\n");
    const std::uint64_t tick = GetTickCount64();
    if (clean_.buffer.size() >= kFlushBytes || tick - lastFlush_ >= kFlushIntervalMs) {
        FlushAll();
    }
}

void Log::SwitchDay(Stream& stream, const std::wstring& today) {
    if (stream.day == today) {
        return;
    }
    // Lines still buffered belong to the file of the day they were written on.
    FlushStream(stream);
    stream.file.Reset();
    stream.day = today;
}

void Log::FlushStream(Stream& stream) {
    if (stream.buffer.empty()) {
        return;
    }
    if (!stream.file && !stream.day.empty()) {
        const std::wstring path = JoinPath(folder_, stream.prefix + stream.day + L".log");
        stream.file.Reset(CreateFileW(ToLongPath(path).c_str(), FILE_APPEND_DATA,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                      FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    }
    if (stream.file) {
        const char* data = stream.buffer.data();
        std::size_t left = stream.buffer.size();
        while (left > 0) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(left < (1u << 30) ? left : (1u << 30));
            if (!WriteFile(stream.file.Get(), data, chunk, &written, nullptr) || written == 0) {
                break;
            }
            data += written;
            left -= written;
        }
    }
    stream.buffer.clear();
}

void Log::FlushAll() {
    FlushStream(app_);
    FlushStream(clean_);
    lastFlush_ = GetTickCount64();
}

void Log::CloseStreams() {
    app_.file.Reset();
    clean_.file.Reset();
    app_.day.clear();
    clean_.day.clear();
}

void LogWrite(LogLevel level, std::wstring_view message) {
    Log::Instance().Write(level, message);
}

void CleanLogWrite(std::wstring_view path, std::uint64_t bytes, DeleteOutcome outcome,
                   std::uint32_t error) {
    Log::Instance().WriteClean(path, bytes, outcome, error);
}

}  // namespace purvex::core
