#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include "base/clock.h"

namespace orvex {

// A scheduled piece of main-queue work that can be invalidated before it runs.
class Timer {
  public:
    void cancel() { cancelled_.store(true); }
    bool isCancelled() const { return cancelled_.load(); }

  private:
    std::atomic<bool> cancelled_{false};
};
using TimerRef = std::shared_ptr<Timer>;

// The one queue on which all application state lives. post() may be called from any
// thread; the work, timers included, always runs on the main thread in posting order.
class MainQueue {
  public:
    using Work = std::function<void()>;

    virtual ~MainQueue() = default;
    virtual void post(Work work) = 0;
    // One-shot timer; cancel the returned handle to drop it.
    virtual TimerRef postAfter(Clock::Duration delay, Work work) = 0;
    // Repeating timer, first firing one interval from now.
    virtual TimerRef repeatEvery(Clock::Duration interval, Work work) = 0;
    virtual bool isMainThread() const = 0;
};

// Wraps work so that it runs only while its target still exists: timers and posted
// callbacks hold their owner weakly and never keep it alive.
template <class Target, class Fn>
MainQueue::Work weakly(const std::shared_ptr<Target>& target, Fn fn) {
    return [weak = std::weak_ptr<Target>(target), fn = std::move(fn)]() {
        if (auto strong = weak.lock()) {
            fn(*strong);
        }
    };
}

}  // namespace orvex
