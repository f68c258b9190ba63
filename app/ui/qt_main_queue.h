#pragma once

#include <QObject>
#include <thread>

#include "base/clock.h"
#include "base/main_queue.h"

namespace orvex {

// The main queue of the running program: Qt's event loop on the thread that made it.
// post() queues an event (any thread, first in first out); timers are QTimers living on the
// main thread. A cancelled timer never runs its work again and is deleted at its next
// tick.
class QtMainQueue final : public MainQueue {
  public:
    // Construct on the main thread, after the QCoreApplication.
    explicit QtMainQueue(Clock& clock);
    ~QtMainQueue() override;

    void post(Work work) override;
    TimerRef postAfter(Clock::Duration delay, Work work) override;
    TimerRef repeatEvery(Clock::Duration interval, Work work) override;
    bool isMainThread() const override;

  private:
    // Starts a QTimer on the main thread; `first` is the wait before the first firing.
    void startTimer(TimerRef timer, Clock::TimePoint due, Clock::Duration interval, Work work);

    Clock& clock_;
    QObject context_;  // lives on the main thread; events and timers are delivered to it
    std::thread::id mainThread_;
};

}  // namespace orvex
