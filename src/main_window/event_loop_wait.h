#pragma once

#include <QCoreApplication>
#include <QTimer>
#include <chrono>

namespace scanvale {

// Handles the calling thread's events, sleeping in its event loop until one arrives, the
// dispatcher is woken, or `until` has passed (time_point::max(): no time limit). A timer of the
// thread's own, stopped before this returns, bounds the sleep.
inline void WaitInEventLoop(std::chrono::steady_clock::time_point until) {
    using namespace std::chrono;
    if (until == steady_clock::time_point::max()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return;
    }
    const auto left = ceil<milliseconds>(until - steady_clock::now());
    if (left <= milliseconds::zero()) {
        QCoreApplication::processEvents();
        return;
    }
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    deadline.start(left);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace scanvale
