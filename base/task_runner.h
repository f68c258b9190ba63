#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace orvex {

// Starts the asynchronous tasks of the system (one per preset run, each script run).
class TaskRunner {
  public:
    using Task = std::function<void()>;
    virtual ~TaskRunner() = default;
    virtual void spawn(Task task) = 0;
};

// One thread per task; the destructor waits for every task it started.
class ThreadTaskRunner final : public TaskRunner {
  public:
    ~ThreadTaskRunner() override;
    void spawn(Task task) override;

  private:
    std::mutex mutex_;
    std::vector<std::thread> threads_;
};

// Tests: tasks wait until the test runs them, on the test's own (main) thread, so a whole
// preset run is deterministic on virtual time.
class ManualTaskRunner final : public TaskRunner {
  public:
    void spawn(Task task) override;
    // Runs queued tasks (and any they spawn) until none is left; returns how many ran.
    std::size_t runAll();
    std::size_t pending() const;

  private:
    mutable std::mutex mutex_;
    std::deque<Task> tasks_;
};

}  // namespace orvex
