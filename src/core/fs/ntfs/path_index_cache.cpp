#include "core/fs/ntfs/path_index_cache.h"

#include <utility>

namespace purvex::core {
namespace {

constexpr auto kWaitSlice = std::chrono::milliseconds(50);

void SetStatus(MftStatus* out, MftStatus value) {
    if (out != nullptr) {
        *out = value;
    }
}

}  // namespace

std::shared_ptr<const PathIndex> AcquirePathIndex(wchar_t drive, std::int64_t maxAgeSeconds,
                                                  CancelToken& cancel,
                                                  const ProgressCallback& progress,
                                                  MftStatus* status) {
    static PathIndexCache cache(&PathIndex::Build, [] { return std::chrono::steady_clock::now(); });
    return cache.Acquire(drive, maxAgeSeconds, cancel, progress, status);
}

PathIndexCache::PathIndexCache(Builder builder, Clock clock)
    : builder_(std::move(builder)), clock_(std::move(clock)) {}

// Called with the lock held and the slot marked as building; returns with the lock released.
std::shared_ptr<const PathIndex> PathIndexCache::BuildInto(Slot& slot,
                                                           std::unique_lock<std::mutex>& lock,
                                                           wchar_t drive, CancelToken& cancel,
                                                           const ProgressCallback& progress,
                                                           MftStatus& status) {
    lock.unlock();
    // A builder that throws leaves whatever status it had set, BadFormat unless it set one.
    status = MftStatus::BadFormat;
    std::shared_ptr<const PathIndex> fresh;
    try {
        std::unique_ptr<PathIndex> built = builder_(drive, cancel, progress, &status);
        if (status == MftStatus::Ok && built == nullptr) {
            status = MftStatus::BadFormat;
        }
        if (status == MftStatus::Ok) {
            fresh = std::move(built);
        }
    } catch (...) {
        fresh.reset();
        if (status == MftStatus::Ok) {
            status = MftStatus::BadFormat;
        }
    }
    std::shared_ptr<const PathIndex> old;
    lock.lock();
    slot.building = false;
    ++slot.completions;
    slot.lastStatus = status;
    if (fresh != nullptr) {
        old = std::exchange(slot.index, fresh);
        slot.storedAt = clock_();
    }
    lock.unlock();
    changed_.notify_all();
    return fresh;  // `old` goes after the lock, so no reader waits while it is freed
}

std::shared_ptr<const PathIndex> PathIndexCache::Acquire(wchar_t drive, std::int64_t maxAgeSeconds,
                                                         CancelToken& cancel,
                                                         const ProgressCallback& progress,
                                                         MftStatus* status) {
    if (drive >= L'a' && drive <= L'z') {
        drive = static_cast<wchar_t>(drive - L'a' + L'A');
    }
    std::unique_lock lock(mutex_);
    Slot& slot = slots_[drive];
    while (true) {
        if (slot.index != nullptr) {
            const auto age =
                std::chrono::duration_cast<std::chrono::seconds>(clock_() - slot.storedAt).count();
            if (age < maxAgeSeconds) {
                SetStatus(status, MftStatus::Ok);
                return slot.index;
            }
        }
        if (!slot.building) {
            slot.building = true;
            MftStatus built = MftStatus::BadFormat;
            auto index = BuildInto(slot, lock, drive, cancel, progress, built);
            SetStatus(status, built);
            return index;
        }
        const std::uint64_t seen = slot.completions;
        while (slot.completions == seen && slot.building) {
            if (cancel.IsCancelled()) {
                SetStatus(status, MftStatus::Cancelled);
                return nullptr;
            }
            changed_.wait_for(lock, kWaitSlice);
        }
        if (slot.lastStatus == MftStatus::Cancelled) {
            continue;  // that caller gave up; build with this caller's own token
        }
        if (slot.lastStatus != MftStatus::Ok) {
            SetStatus(status, slot.lastStatus);
            return nullptr;
        }
        if (slot.index != nullptr) {
            SetStatus(status, MftStatus::Ok);
            return slot.index;
        }
    }
}

}  // namespace purvex::core
