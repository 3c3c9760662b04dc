#pragma once

#include <atomic>

namespace purvex::core {

// Shared by a page's Stop button and the workers of one run. There is deliberately no reset:
// a restarted task gets a fresh token, so a late Stop can never cancel the next run.
class CancelToken {
public:
    void Cancel() noexcept { flag_.store(true, std::memory_order_relaxed); }
    [[nodiscard]] bool IsCancelled() const noexcept {
        return flag_.load(std::memory_order_relaxed);
    }

private:
    std::atomic<bool> flag_{false};
};

}  // namespace purvex::core
