#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "core/fs/ntfs/path_index.h"

namespace purvex::core {

// The process-wide index of a drive: handed out while younger than maxAgeSeconds, else built
// again. Concurrent callers for one drive share one build; a caller whose build is cancelled
// makes the waiting callers build with their own tokens. Failures are not remembered.
// `status` may be null; it is Ok whenever an index is returned.
std::shared_ptr<const PathIndex> AcquirePathIndex(wchar_t drive, std::int64_t maxAgeSeconds,
                                                  CancelToken& cancel,
                                                  const ProgressCallback& progress,
                                                  MftStatus* status);

// The cache behind AcquirePathIndex, with its builder and clock given, so that its rules can
// be exercised without a volume or an hour to wait.
class PathIndexCache {
public:
    using Builder = std::function<std::unique_ptr<PathIndex>(wchar_t, CancelToken&,
                                                             const ProgressCallback&, MftStatus*)>;
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    PathIndexCache(Builder builder, Clock clock);

    std::shared_ptr<const PathIndex> Acquire(wchar_t drive, std::int64_t maxAgeSeconds,
                                             CancelToken& cancel, const ProgressCallback& progress,
                                             MftStatus* status);

private:
    struct Slot {
        std::shared_ptr<const PathIndex> index;
        std::chrono::steady_clock::time_point storedAt{};
        bool building = false;
        std::uint64_t completions = 0;
        MftStatus lastStatus = MftStatus::Ok;
    };

    std::shared_ptr<const PathIndex> BuildInto(Slot& slot, std::unique_lock<std::mutex>& lock,
                                               wchar_t drive, CancelToken& cancel,
                                               const ProgressCallback& progress, MftStatus& status);

    Builder builder_;
    Clock clock_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<wchar_t, Slot> slots_;
};

}  // namespace purvex::core
