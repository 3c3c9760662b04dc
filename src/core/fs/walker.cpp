#include "core/fs/walker.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <string_view>
#include <vector>

#include "core/fs/directory.h"
#include "core/fs/path_text.h"
#include "core/log.h"
#include "core/task_runner.h"
#include "core/text.h"
#include "core/unique_handle.h"

namespace purvex::core {
namespace {

struct PendingDir {
    std::wstring path;
    std::uint32_t depth = 0;
};

struct WalkContext {
    const WalkOptions* options = nullptr;
    const WalkEntryCallback* onEntry = nullptr;
    const CancelToken* cancel = nullptr;
    const WalkEnterDirCallback* enterDir = nullptr;
    std::uint32_t maxDepth = 0;
    std::atomic<bool> stopped{false};
    std::atomic<std::uint64_t> files{0};
    std::atomic<std::uint64_t> dirs{0};
    std::atomic<std::uint64_t> bytes{0};
    std::atomic<std::uint64_t> errors{0};
};

// One listing buffer per thread of a walk, the size FIND_FIRST_EX_LARGE_FETCH uses, aligned
// for the directory records.
using ListBuffer = std::vector<std::uint64_t>;
constexpr std::size_t kListBufferWords = 64 * 1024 / sizeof(std::uint64_t);

bool ShouldStop(WalkContext& ctx) {
    if (ctx.stopped.load(std::memory_order_relaxed)) {
        return true;
    }
    if (ctx.cancel->IsCancelled()) {
        ctx.stopped.store(true);
        return true;
    }
    return false;
}

// Reports one entry and queues a subfolder to enter. Returns false when the walk must stop.
bool HandleEntry(WalkContext& ctx, const PendingDir& dir, std::wstring_view name,
                 std::uint32_t attributes, std::uint64_t size, std::uint64_t writeTime,
                 std::vector<PendingDir>& found) {
    if (name == L"." || name == L"..") {
        return true;
    }
    if (ShouldStop(ctx)) {
        return false;
    }
    FileEntry entry;
    entry.path = JoinPath(dir.path, name);
    entry.lastWriteTime = writeTime;
    entry.attributes = attributes;
    const WalkEntryCallback& onEntry = *ctx.onEntry;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        ctx.dirs.fetch_add(1, std::memory_order_relaxed);
        const bool reparse = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if ((reparse || ctx.options->reportDirectories) && onEntry && !onEntry(entry)) {
            ctx.stopped.store(true);
            return false;
        }
        const bool descend = ctx.options->recursive && dir.depth < ctx.maxDepth;
        if (!reparse && descend && (!*ctx.enterDir || (*ctx.enterDir)(entry.path))) {
            found.push_back(PendingDir{std::move(entry.path), dir.depth + 1});
        }
        return true;
    }
    entry.size = size;
    ctx.files.fetch_add(1, std::memory_order_relaxed);
    ctx.bytes.fetch_add(size, std::memory_order_relaxed);
    if (onEntry && !onEntry(entry)) {
        ctx.stopped.store(true);
        return false;
    }
    return true;
}

std::uint64_t Join64(DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

bool IsGone(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// For file systems that cannot list through a handle. The folder handle stays open meanwhile.
void ListWithFind(WalkContext& ctx, const PendingDir& dir, std::vector<PendingDir>& found) {
    WIN32_FIND_DATAW data{};
    UniqueFind find(FindFirstFileExW(ToLongPath(JoinPath(dir.path, L"*")).c_str(), FindExInfoBasic,
                                     &data, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND) {
            ctx.errors.fetch_add(1, std::memory_order_relaxed);
        }
        return;
    }
    do {
        if (!HandleEntry(
                ctx, dir, data.cFileName, data.dwFileAttributes,
                Join64(data.nFileSizeHigh, data.nFileSizeLow),
                Join64(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime),
                found)) {
            return;
        }
    } while (FindNextFileW(find.Get(), &data));
    if (GetLastError() != ERROR_NO_MORE_FILES && !ctx.stopped.load()) {
        ctx.errors.fetch_add(1, std::memory_order_relaxed);
    }
}

void ListDirectoryUnguarded(WalkContext& ctx, const PendingDir& dir, ListBuffer& buffer,
                            std::vector<PendingDir>& found) {
    if (ShouldStop(ctx)) {
        return;
    }
    // The root is the caller's choice and may itself be a link; below it, a folder is opened
    // as itself and never through a link, which also closes the gap between seeing a folder
    // and listing it.
    const bool isRoot = dir.depth == 0;
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (isRoot ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    const std::wstring longPath = ToLongPath(dir.path);
    UniqueFile folder(CreateFileW(longPath.c_str(),
                                  FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, flags, nullptr));
    if (!folder) {
        if (!IsGone(GetLastError())) {
            ctx.errors.fetch_add(1, std::memory_order_relaxed);
        }
        return;
    }
    // Only the attributes are needed; the full handle information also asks the volume for
    // its serial number, which some systems answer slowly.
    FILE_ATTRIBUTE_TAG_INFO info{};
    if (!GetFileInformationByHandleEx(folder.Get(), FileAttributeTagInfo, &info, sizeof(info))) {
        ctx.errors.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    if (!(info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (!isRoot && (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))) {
        return;  // replaced by a file or a link since it was seen
    }
    if (!isRoot) {
        // Some file systems (Wine's view of host links among them) open the target even when
        // asked for the link itself; the name still shows what sits in the tree.
        const DWORD named = GetFileAttributesW(longPath.c_str());
        if (named != INVALID_FILE_ATTRIBUTES && (named & FILE_ATTRIBUTE_REPARSE_POINT)) {
            return;
        }
    }

    if (buffer.size() < kListBufferWords) {
        buffer.resize(kListBufferWords);
    }
    const DWORD bufferBytes = static_cast<DWORD>(buffer.size() * sizeof(std::uint64_t));
    for (bool first = true;; first = false) {
        if (!GetFileInformationByHandleEx(folder.Get(), FileFullDirectoryInfo, buffer.data(),
                                          bufferBytes)) {
            const DWORD error = GetLastError();
            if (error == ERROR_NO_MORE_FILES || (first && error == ERROR_FILE_NOT_FOUND)) {
                return;
            }
            if (first && (error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED ||
                          error == ERROR_INVALID_FUNCTION)) {
                ListWithFind(ctx, dir, found);
                return;
            }
            if (!ctx.stopped.load()) {
                ctx.errors.fetch_add(1, std::memory_order_relaxed);
            }
            return;
        }
        const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
        for (std::size_t offset = 0;;) {
            const auto* record = reinterpret_cast<const FILE_FULL_DIR_INFO*>(bytes + offset);
            const std::wstring_view name(record->FileName,
                                         record->FileNameLength / sizeof(wchar_t));
            if (!HandleEntry(ctx, dir, name, record->FileAttributes,
                             static_cast<std::uint64_t>(record->EndOfFile.QuadPart),
                             static_cast<std::uint64_t>(record->LastWriteTime.QuadPart), found)) {
                return;
            }
            if (record->NextEntryOffset == 0) {
                break;
            }
            offset += record->NextEntryOffset;
        }
    }
}

void ListDirectory(WalkContext& ctx, const PendingDir& dir, ListBuffer& buffer,
                   std::vector<PendingDir>& found) {
    try {
        ListDirectoryUnguarded(ctx, dir, buffer, found);
    } catch (const std::exception& e) {
        ctx.stopped.store(true);
        LogWrite(LogLevel::Error, L"FsWalker: callback threw: " + Utf8ToWide(e.what()));
    } catch (...) {
        ctx.stopped.store(true);
        LogWrite(LogLevel::Error, L"FsWalker: callback threw a non-standard exception");
    }
}

// Depth first, in enumeration order: the first subfolder found is listed next.
void PushFound(std::vector<PendingDir>& stack, std::vector<PendingDir>& found) {
    for (auto it = found.rbegin(); it != found.rend(); ++it) {
        stack.push_back(std::move(*it));
    }
    found.clear();
}

void WalkSequential(WalkContext& ctx, PendingDir root) {
    std::vector<PendingDir> stack;
    stack.push_back(std::move(root));
    std::vector<PendingDir> found;
    ListBuffer buffer;
    while (!stack.empty() && !ShouldStop(ctx)) {
        const PendingDir dir = std::move(stack.back());
        stack.pop_back();
        ListDirectory(ctx, dir, buffer, found);
        PushFound(stack, found);
    }
}

// One shared stack and no dispatcher: every worker takes the next folder itself, and the walk
// is over when the stack is empty and nobody is still listing a folder that could add more.
void WalkParallel(WalkContext& ctx, PendingDir root) {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<PendingDir> stack;
    stack.push_back(std::move(root));
    unsigned busy = 0;

    TaskRunner& runner = TaskRunner::Instance();
    const CancelToken never;
    runner.ParallelFor(
        runner.WorkerCount(),
        [&](std::uint64_t) {
            ListBuffer buffer;
            std::vector<PendingDir> found;
            std::unique_lock lock(mutex);
            for (;;) {
                if (ShouldStop(ctx)) {
                    changed.notify_all();
                    return;
                }
                if (!stack.empty()) {
                    const PendingDir dir = std::move(stack.back());
                    stack.pop_back();
                    ++busy;
                    lock.unlock();
                    ListDirectory(ctx, dir, buffer, found);
                    lock.lock();
                    --busy;
                    PushFound(stack, found);
                    lock.unlock();
                    changed.notify_all();
                    lock.lock();
                    continue;
                }
                if (busy == 0) {
                    return;
                }
                changed.wait_for(lock, std::chrono::milliseconds(20));
            }
        },
        never);
}

bool HasLongPathPrefix(std::wstring_view path) {
    return path.size() >= 4 && path.substr(0, 4) == L"\\\\?\\";
}

}  // namespace

std::wstring WalkRootPath(const std::wstring& root) {
    // A "\\?\" root names one folder literally (trailing dots and spaces included); making it
    // absolute again would strip those and list a different folder.
    const bool literal = HasLongPathPrefix(root);
    std::wstring start = StripLongPathPrefix(root);
    if (!literal) {
        if (std::wstring full = GetFullPath(start); !full.empty()) {
            start = std::move(full);
        }
    }
    return WithoutTrailingSeparators(std::move(start));
}

WalkStats Walk(const std::wstring& root, const WalkOptions& options,
               const WalkEntryCallback& onEntry, const CancelToken& cancel,
               const WalkEnterDirCallback& enterDir) {
    const std::wstring start = WalkRootPath(root);
    if (start.empty() || cancel.IsCancelled()) {
        return {};
    }

    const DWORD attributes = GetFileAttributesW(ToLongPath(start).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        const bool quiet = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                           error == ERROR_NOT_READY || error == ERROR_BAD_NETPATH ||
                           error == ERROR_BAD_NET_NAME || error == ERROR_INVALID_NAME;
        WalkStats stats;
        stats.errors = quiet ? 0 : 1;
        return stats;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return {};
    }

    WalkContext ctx;
    ctx.options = &options;
    ctx.onEntry = &onEntry;
    ctx.cancel = &cancel;
    ctx.enterDir = &enterDir;
    ctx.maxDepth = options.recursive ? options.maxDepth : 0;
    PendingDir first{std::move(start), 0};
    if (options.parallel && options.recursive && ctx.maxDepth != 0) {
        WalkParallel(ctx, std::move(first));
    } else {
        WalkSequential(ctx, std::move(first));
    }

    WalkStats stats;
    stats.files = ctx.files.load();
    stats.dirs = ctx.dirs.load();
    stats.bytes = ctx.bytes.load();
    stats.errors = ctx.errors.load();
    return stats;
}

}  // namespace purvex::core
