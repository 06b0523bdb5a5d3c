#pragma once

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <chrono>

namespace scanvale {

// A search host's sleep in its thread's event loop (SearchHost::Wait) and the wake-up that ends
// it from any thread (SearchHost::Wake). Made on the thread whose loop it sleeps in.
class EventLoopWait {
public:
    using Clock = std::chrono::steady_clock;

    // Handles the thread's events as they come, sleeping in the event loop while none is
    // pending. Without a time limit (time_point::max()) it returns once it has handled some or
    // Wake() was called. With one, it sleeps on through events until `until` has passed or
    // Wake() was called: a short doze of a search (one turn interval) is not cut short by the
    // window's own repaint requests and frame timers. Cut short, it left the window's thread to
    // be woken by a worker for nearly every folder of a walk that finds something in each: a
    // search of 3,000 such folders waited 1,500 to 1,800 times, and 17 to 20 times since. A
    // timer of the thread's own, stopped before this returns, bounds the sleep.
    void Wait(Clock::time_point until) {
        using namespace std::chrono;
        if (until == Clock::time_point::max()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            woken_.store(false, std::memory_order_relaxed);
            return;
        }
        QTimer deadline;
        deadline.setSingleShot(true);
        deadline.setTimerType(Qt::PreciseTimer);
        for (;;) {
            const auto left = ceil<milliseconds>(until - Clock::now());
            if (left <= milliseconds::zero()) {
                QCoreApplication::processEvents();
                break;
            }
            deadline.start(left);
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            if (woken_.exchange(false, std::memory_order_relaxed)) {
                break;
            }
        }
    }

    // Ends the current or the next Wait(); any thread. The dispatcher keeps its wake-up until
    // the loop next looks for events, so one that comes before the Wait() is not lost.
    void Wake() {
        woken_.store(true, std::memory_order_relaxed);
        dispatcher_->wakeUp();
    }

private:
    QAbstractEventDispatcher* dispatcher_ = QAbstractEventDispatcher::instance();
    std::atomic<bool> woken_{false};
};

} // namespace scanvale
