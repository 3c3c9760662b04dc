#include "core/task_runner.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <string>

#include "core/log.h"
#include "core/text.h"

namespace purvex::core {
namespace {

// Runs one unit of work so that nothing it throws escapes the worker or the caller's loop.
template <typename F>
void RunContained(const wchar_t* where, F&& work) {
    try {
        work();
    } catch (const std::exception& e) {
        LogWrite(LogLevel::Error,
                 std::wstring(where) + L": unhandled exception: " + Utf8ToWide(e.what()));
    } catch (...) {
        LogWrite(LogLevel::Error, std::wstring(where) + L": unhandled non-standard exception");
    }
}

// Shared by the caller of one ParallelFor and every helper task it posted. Helpers may still
// be queued after the caller has returned, so they hold this through a shared pointer and
// must not touch body or cancel once they see callerDone.
struct ParallelState {
    std::atomic<std::uint64_t> next{0};
    std::uint64_t count = 0;
    const TaskRunner::Body* body = nullptr;
    const CancelToken* cancel = nullptr;
    std::mutex mutex;
    std::condition_variable idle;
    unsigned active = 0;
    bool callerDone = false;
};

void RunIndices(ParallelState& state) {
    for (;;) {
        if (state.cancel->IsCancelled()) {
            return;
        }
        const std::uint64_t i = state.next.fetch_add(1);
        if (i >= state.count) {
            return;
        }
        RunContained(L"TaskRunner::ParallelFor", [&] { (*state.body)(i); });
    }
}

}  // namespace

unsigned TaskRunner::DefaultWorkerCount() {
    unsigned n = std::thread::hardware_concurrency();
    if (n == 0) {
        n = 2;
    }
    return std::clamp(n, 2u, 8u);
}

TaskRunner& TaskRunner::Instance() {
    static TaskRunner instance(DefaultWorkerCount());
    return instance;
}

TaskRunner::TaskRunner(unsigned workerCount) : workerCount_(std::max(workerCount, 1u)) {
    workers_.reserve(workerCount_);
    for (unsigned i = 0; i < workerCount_; ++i) {
        workers_.emplace_back([this] { WorkerLoop(); });
    }
}

TaskRunner::~TaskRunner() {
    Shutdown();
}

void TaskRunner::WorkerLoop() {
    for (;;) {
        Task task;
        {
            std::unique_lock lock(queueMutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) {
                return;
            }
            task = std::move(queue_.front());
            queue_.pop_front();
        }
        RunContained(L"TaskRunner task", task);
    }
}

bool TaskRunner::IsStopping() {
    std::lock_guard lock(queueMutex_);
    return stopping_;
}

void TaskRunner::Post(Task task) {
    if (!task) {
        return;
    }
    {
        std::lock_guard lock(queueMutex_);
        if (stopping_) {
            return;  // the task is destroyed on leaving, outside the lock
        }
        queue_.push_back(std::move(task));
    }
    wake_.notify_one();
}

void TaskRunner::ParallelFor(std::uint64_t count, const Body& body, const CancelToken& cancel) {
    if (count == 0 || !body) {
        return;
    }
    auto state = std::make_shared<ParallelState>();
    state->count = count;
    state->body = &body;
    state->cancel = &cancel;

    const std::uint64_t helpers = std::min<std::uint64_t>(workerCount_, count - 1);
    for (std::uint64_t h = 0; h < helpers; ++h) {
        Post([state] {
            {
                std::lock_guard lock(state->mutex);
                if (state->callerDone) {
                    return;
                }
                ++state->active;
            }
            RunIndices(*state);
            {
                std::lock_guard lock(state->mutex);
                --state->active;
            }
            state->idle.notify_all();
        });
    }

    RunIndices(*state);

    std::unique_lock lock(state->mutex);
    state->callerDone = true;
    state->idle.wait(lock, [&] { return state->active == 0; });
}

void TaskRunner::Shutdown() {
    std::deque<Task> dropped;
    std::vector<std::thread> workers;
    std::lock_guard join(joinMutex_);
    {
        std::lock_guard lock(queueMutex_);
        if (stopping_ && workers_.empty()) {
            return;
        }
        stopping_ = true;
        dropped.swap(queue_);
        workers.swap(workers_);
    }
    wake_.notify_all();
    for (std::thread& worker : workers) {
        if (worker.get_id() == std::this_thread::get_id()) {
            worker.detach();  // a task shutting down its own pool cannot join itself
        } else if (worker.joinable()) {
            worker.join();
        }
    }
    // The dropped tasks are destroyed here without running, after the workers are gone.
    dropped.clear();
}

}  // namespace purvex::core
