#include "core/progress.h"

#include <windows.h>

#include <utility>

namespace purvex::core {

std::uint64_t SystemTick() {
    return GetTickCount64();
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
