#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "core/cancel_token.h"

namespace purvex::core {

// The worker pool every long operation runs on: one FIFO queue served by 2 to 8 threads.
class TaskRunner {
public:
    using Task = std::function<void()>;
    using Body = std::function<void(std::uint64_t)>;

    // The process-wide pool, started on first use.
    static TaskRunner& Instance();

    // A private pool; the process uses Instance(), tests use their own so that shutting one
    // down does not take the shared pool with it.
    explicit TaskRunner(unsigned workerCount);
    TaskRunner(const TaskRunner&) = delete;
    TaskRunner& operator=(const TaskRunner&) = delete;
    ~TaskRunner();

    // Fire and forget. Discarded without running once the pool is shutting down.
    void Post(Task task);

    // Runs body(i) for every i below count, claiming indices in increasing order, and returns
    // when every started call has finished. The caller works too, so this may be called from
    // a worker. No index starts once cancel is seen; body must be safe on several threads.
    void ParallelFor(std::uint64_t count, const Body& body, const CancelToken& cancel);

    // Stops the workers (queued tasks are dropped, running ones finish) and joins them. The
    // pool is never restarted.
    void Shutdown();

    [[nodiscard]] unsigned WorkerCount() const noexcept { return workerCount_; }
    // True from the moment Shutdown begins; later posts are discarded.
    [[nodiscard]] bool IsStopping();

    // Hardware threads clamped to 2..8 (2 when the library cannot tell).
    static unsigned DefaultWorkerCount();

private:
    void WorkerLoop();

    // Lock order: joinMutex_ before queueMutex_. No task ever runs under either.
    std::mutex joinMutex_;
    std::mutex queueMutex_;
    std::condition_variable wake_;
    std::deque<Task> queue_;
    std::vector<std::thread> workers_;
    bool stopping_ = false;
    unsigned workerCount_ = 0;
};

}  // namespace purvex::core
