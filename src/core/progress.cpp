#include "core/progress.h"

#include <chrono>
#include <utility>

namespace purvex::core {

// The standard clock keeps this file free of platform headers, so that the NTFS reader that
// throttles with it builds natively for fuzzing as well.
std::uint64_t SystemTick() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

ProgressThrottle::ProgressThrottle(ProgressCallback cb, TickSource ticks)
    : callback(std::move(cb)), ticks_(ticks ? ticks : &SystemTick) {}

void ProgressThrottle::Report(const Progress& p, bool force) {
    if (!callback) {
        return;
    }
    const std::uint64_t now = ticks_();
    if (force) {
        lastTick.store(now);
    } else {
        std::uint64_t last = lastTick.load();
        if (last != 0 && now - last < intervalMs) {
            return;
        }
        if (!lastTick.compare_exchange_strong(last, now)) {
            return;
        }
    }
    callback(p);
}

}  // namespace purvex::core
