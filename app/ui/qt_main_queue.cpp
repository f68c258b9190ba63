#include "app/ui/qt_main_queue.h"

#include <QMetaObject>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <limits>

namespace orvex {
namespace {

int toMilliseconds(Clock::Duration duration) {
    auto ms = std::chrono::ceil<std::chrono::milliseconds>(duration).count();
    return static_cast<int>(std::clamp<std::int64_t>(ms, 0, std::numeric_limits<int>::max()));
}

}  // namespace

QtMainQueue::QtMainQueue(Clock& clock) : clock_(clock), mainThread_(std::this_thread::get_id()) {}

QtMainQueue::~QtMainQueue() = default;

void QtMainQueue::post(Work work) {
    QMetaObject::invokeMethod(&context_, std::move(work), Qt::QueuedConnection);
}

TimerRef QtMainQueue::postAfter(Clock::Duration delay, Work work) {
    auto timer = std::make_shared<Timer>();
    startTimer(timer, clock_.now() + delay, Clock::Duration::zero(), std::move(work));
    return timer;
}

TimerRef QtMainQueue::repeatEvery(Clock::Duration interval, Work work) {
    auto timer = std::make_shared<Timer>();
    startTimer(timer, clock_.now() + interval, interval, std::move(work));
    return timer;
}

bool QtMainQueue::isMainThread() const {
    return std::this_thread::get_id() == mainThread_;
}

void QtMainQueue::startTimer(TimerRef timer, Clock::TimePoint due, Clock::Duration interval,
                             Work work) {
    // QTimers belong to the thread that starts them, so the timer is made on the main thread;
    // the wait is measured from the call, not from when the main thread gets to it.
    auto begin = [this, timer, due, interval, work = std::move(work)]() mutable {
        if (timer->isCancelled()) {
            return;
        }
        auto* qtimer = new QTimer(&context_);
        qtimer->setSingleShot(true);
        auto fire = [this, qtimer, timer, interval, work = std::move(work)]() {
            if (timer->isCancelled()) {
                qtimer->deleteLater();
                return;
            }
            if (interval == Clock::Duration::zero()) {
                qtimer->deleteLater();
                work();
                return;
            }
            if (qtimer->isSingleShot()) {
                qtimer->setSingleShot(false);
                qtimer->start(toMilliseconds(interval));
            }
            work();
        };
        QObject::connect(qtimer, &QTimer::timeout, &context_, std::move(fire));
        qtimer->setTimerType(Qt::PreciseTimer);
        qtimer->start(toMilliseconds(due - clock_.now()));
    };
    if (isMainThread()) {
        begin();
    } else {
        post(std::move(begin));
    }
}

}  // namespace orvex
