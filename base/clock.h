#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <vector>

namespace orvex {

// Every fixed wait of the system goes through a Clock, so tests run on virtual time.
class Clock {
  public:
    using Duration = std::chrono::steady_clock::duration;
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;
    // Monotonic time, for timers and waits.
    virtual TimePoint now() const = 0;
    // Local wall-clock time, for names such as the export file's.
    virtual std::chrono::system_clock::time_point wallNow() const = 0;
    // Blocks the calling thread for `duration`. Called from tasks, never to stall the main queue.
    virtual void sleepFor(Duration duration) = 0;
};

class RealClock final : public Clock {
  public:
    TimePoint now() const override { return std::chrono::steady_clock::now(); }
    std::chrono::system_clock::time_point wallNow() const override {
        return std::chrono::system_clock::now();
    }
    void sleepFor(Duration duration) override;
};

// Time that moves only when a test (or a sleeping task) moves it. Every sleep is recorded,
// so a test can assert the order and length of each fixed wait.
class VirtualClock final : public Clock {
  public:
    // Called by sleepFor instead of moving time itself; the manual main queue installs one so
    // that timers falling inside a sleep fire at their own moment.
    using Advancer = std::function<void(Duration)>;

    explicit VirtualClock(
        std::chrono::system_clock::time_point wallStart = std::chrono::system_clock::time_point{
            std::chrono::hours(24 * 365 * 56)});

    TimePoint now() const override;
    std::chrono::system_clock::time_point wallNow() const override;
    void sleepFor(Duration duration) override;

    // Moves time forward without counting as a sleep.
    void advanceTo(TimePoint when);
    void setAdvancer(Advancer advancer);
    std::vector<Duration> sleeps() const;
    void clearSleeps();

  private:
    mutable std::mutex mutex_;
    TimePoint now_{};
    std::chrono::system_clock::time_point wallStart_;
    std::vector<Duration> sleeps_;
    Advancer advancer_;
};

}  // namespace orvex
