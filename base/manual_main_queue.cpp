#include "base/manual_main_queue.h"

#include <algorithm>

namespace orvex {

ManualMainQueue::ManualMainQueue(VirtualClock& clock)
    : clock_(clock), mainThread_(std::this_thread::get_id()) {
    clock_.setAdvancer([this](Clock::Duration duration) {
        if (isMainThread()) {
            advanceTo(clock_.now() + duration);
        }
    });
}

ManualMainQueue::~ManualMainQueue() {
    clock_.setAdvancer(nullptr);
}

void ManualMainQueue::post(Work work) {
    std::lock_guard lock(mutex_);
    posted_.push_back(std::move(work));
}

TimerRef ManualMainQueue::postAfter(Clock::Duration delay, Work work) {
    auto timer = std::make_shared<Timer>();
    std::lock_guard lock(mutex_);
    timers_.push_back(
        {clock_.now() + delay, Clock::Duration::zero(), nextSequence_++, timer, std::move(work)});
    return timer;
}

TimerRef ManualMainQueue::repeatEvery(Clock::Duration interval, Work work) {
    auto timer = std::make_shared<Timer>();
    std::lock_guard lock(mutex_);
    timers_.push_back({clock_.now() + interval, interval, nextSequence_++, timer, std::move(work)});
    return timer;
}

bool ManualMainQueue::isMainThread() const {
    return std::this_thread::get_id() == mainThread_;
}

bool ManualMainQueue::runOnePosted() {
    Work work;
    {
        std::lock_guard lock(mutex_);
        if (posted_.empty()) {
            return false;
        }
        work = std::move(posted_.front());
        posted_.pop_front();
    }
    work();
    return true;
}

bool ManualMainQueue::runOneDueTimer() {
    Work work;
    {
        std::lock_guard lock(mutex_);
        std::erase_if(timers_, [](const Scheduled& s) { return s.timer->isCancelled(); });
        auto now = clock_.now();
        auto due = std::min_element(
            timers_.begin(), timers_.end(), [](const Scheduled& a, const Scheduled& b) {
                return a.due != b.due ? a.due < b.due : a.sequence < b.sequence;
            });
        if (due == timers_.end() || due->due > now) {
            return false;
        }
        if (due->interval == Clock::Duration::zero()) {
            work = std::move(due->work);
            timers_.erase(due);
        } else {
            work = due->work;
            due->due += due->interval;
            due->sequence = nextSequence_++;
        }
    }
    work();
    return true;
}

void ManualMainQueue::runUntilIdle() {
    while (runOnePosted() || runOneDueTimer()) {
    }
}

void ManualMainQueue::advanceTo(Clock::TimePoint target) {
    runUntilIdle();
    for (;;) {
        Clock::TimePoint next;
        {
            std::lock_guard lock(mutex_);
            std::erase_if(timers_, [](const Scheduled& s) { return s.timer->isCancelled(); });
            auto earliest = std::min_element(
                timers_.begin(), timers_.end(),
                [](const Scheduled& a, const Scheduled& b) { return a.due < b.due; });
            if (earliest == timers_.end() || earliest->due > target) {
                break;
            }
            next = earliest->due;
        }
        clock_.advanceTo(next);
        runUntilIdle();
    }
    clock_.advanceTo(target);
    runUntilIdle();
}

void ManualMainQueue::advance(Clock::Duration duration) {
    advanceTo(clock_.now() + duration);
}

std::size_t ManualMainQueue::pendingTimerCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(
        std::count_if(timers_.begin(), timers_.end(),
                      [](const Scheduled& s) { return !s.timer->isCancelled(); }));
}

}  // namespace orvex
