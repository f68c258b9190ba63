#include "base/clock.h"

#include <thread>

namespace orvex {

void RealClock::sleepFor(Duration duration) {
    std::this_thread::sleep_for(duration);
}

VirtualClock::VirtualClock(std::chrono::system_clock::time_point wallStart)
    : wallStart_(wallStart) {}

Clock::TimePoint VirtualClock::now() const {
    std::lock_guard lock(mutex_);
    return now_;
}

std::chrono::system_clock::time_point VirtualClock::wallNow() const {
    std::lock_guard lock(mutex_);
    return wallStart_ +
           std::chrono::duration_cast<std::chrono::system_clock::duration>(now_.time_since_epoch());
}

void VirtualClock::sleepFor(Duration duration) {
    Advancer advancer;
    TimePoint target;
    {
        std::lock_guard lock(mutex_);
        sleeps_.push_back(duration);
        advancer = advancer_;
        target = now_ + duration;
    }
    if (advancer) {
        advancer(duration);
    }
    advanceTo(target);
}

void VirtualClock::advanceTo(TimePoint when) {
    std::lock_guard lock(mutex_);
    if (when > now_) {
        now_ = when;
    }
}

void VirtualClock::setAdvancer(Advancer advancer) {
    std::lock_guard lock(mutex_);
    advancer_ = std::move(advancer);
}

std::vector<Clock::Duration> VirtualClock::sleeps() const {
    std::lock_guard lock(mutex_);
    return sleeps_;
}

void VirtualClock::clearSleeps() {
    std::lock_guard lock(mutex_);
    sleeps_.clear();
}

}  // namespace orvex
