#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace purvex::core {

struct Progress {
    double fraction = -1.0;  // negative: indeterminate
    std::wstring current;
    std::uint64_t bytes = 0;
    std::uint64_t items = 0;
};

using ProgressCallback = std::function<void(const Progress&)>;
using TickSource = std::uint64_t (*)();

// Milliseconds of a monotonic clock; only differences mean anything.
std::uint64_t SystemTick();

// Lets through at most one report per interval, whichever worker of a parallel run sends it.
class ProgressThrottle {
public:
    explicit ProgressThrottle(ProgressCallback callback, TickSource ticks = &SystemTick);

    // Pass force for a report that must not be swallowed, such as completion.
    void Report(const Progress& p, bool force = false);

    ProgressCallback callback;
    std::uint64_t intervalMs = 50;
    std::atomic<std::uint64_t> lastTick{0};

private:
    TickSource ticks_;
};

}  // namespace purvex::core
