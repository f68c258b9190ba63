#pragma once

#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "base/clock.h"
#include "base/main_queue.h"

namespace orvex {

// The main queue of tests: nothing runs until the test pumps it, and time is a VirtualClock.
// The thread that constructs it is the main thread. A sleep on the virtual clock taken on
// the main thread (a task run inline) pumps the queue through the slept interval, so
// timers and posted work interleave with a run just as they would in real time.
class ManualMainQueue final : public MainQueue {
  public:
    explicit ManualMainQueue(VirtualClock& clock);
    ~ManualMainQueue() override;

    void post(Work work) override;
    TimerRef postAfter(Clock::Duration delay, Work work) override;
    TimerRef repeatEvery(Clock::Duration interval, Work work) override;
    bool isMainThread() const override;

    // Runs posted work and due timers until nothing is ready; time does not move.
    void runUntilIdle();
    // Moves time forward by `duration`, firing each timer at its own moment, in order.
    void advance(Clock::Duration duration);
    // Number of live (not cancelled) timers.
    std::size_t pendingTimerCount() const;

  private:
    struct Scheduled {
        Clock::TimePoint due;
        Clock::Duration interval;  // zero for one-shot
        std::uint64_t sequence;
        TimerRef timer;
        Work work;
    };

    bool runOnePosted();
    bool runOneDueTimer();
    void advanceTo(Clock::TimePoint target);

    VirtualClock& clock_;
    std::thread::id mainThread_;
    mutable std::mutex mutex_;
    std::deque<Work> posted_;
    std::vector<Scheduled> timers_;
    std::uint64_t nextSequence_ = 0;
};

}  // namespace orvex
