#include "base/task_runner.h"

namespace orvex {

ThreadTaskRunner::~ThreadTaskRunner() {
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(mutex_);
        threads.swap(threads_);
    }
    for (auto& thread : threads) {
        thread.join();
    }
}

void ThreadTaskRunner::spawn(Task task) {
    std::lock_guard lock(mutex_);
    // Finished threads are reaped lazily: join those that are done is not portable, so we
    // keep them until destruction; a preset run is a rare, user-paced event.
    threads_.emplace_back(std::move(task));
}

void ManualTaskRunner::spawn(Task task) {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
}

std::size_t ManualTaskRunner::runAll() {
    std::size_t count = 0;
    for (;;) {
        Task task;
        {
            std::lock_guard lock(mutex_);
            if (tasks_.empty()) {
                return count;
            }
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
        ++count;
    }
}

std::size_t ManualTaskRunner::pending() const {
    std::lock_guard lock(mutex_);
    return tasks_.size();
}

}  // namespace orvex
