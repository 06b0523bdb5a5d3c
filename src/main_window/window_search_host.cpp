#include "window_search_host.h"

#include "event_loop_wait.h"
#include "path_text.h"
#include "results_model.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QTableView>
#include <QTreeWidget>

namespace scanvale {

namespace {

// How long a run may go without a full turn of the event loop. Far below what a user notices
// (a click, a key, a timer a handler set are handled this much later at most), and long enough
// that a caller yielding far more often (before each block of a file) does not take a full turn
// at every yield.
constexpr qint64 FullTurnIntervalNs = 1'000'000;

} // namespace

WindowSearchHost::WindowSearchHost(QTreeWidget& folders, QTableView& results)
    : folders_(folders), results_(results), rows_(RowsOf(results)),
      dispatcher_(QAbstractEventDispatcher::instance()), pacer_(*folders.window()) {}

void WindowSearchHost::AddResult(std::string_view path) {
    rows_.Append({QByteArray(path.data(), static_cast<qsizetype>(path.size()))});
    // The list repaints with the next frame.
    results_.viewport()->update();
}

void WindowSearchHost::ShowProgress(std::string_view text) {
    folders_.headerItem()->setText(0, DisplayPath(text));
}

void WindowSearchHost::Yield() {
    // What the program posted for the window (a queued call such as a stop request, a repaint
    // request) is handled at every yield, as it was posted.
    QCoreApplication::sendPostedEvents();
    // Input from the window system, timers and the toolkit's deferred work wait for the next
    // full turn of the event loop, at most one turn interval away.
    if (sinceFullTurn_.isValid() && sinceFullTurn_.nsecsElapsed() < FullTurnIntervalNs) {
        return;
    }
    sinceFullTurn_.start();
    QCoreApplication::processEvents();
}

void WindowSearchHost::Wait(Clock::time_point until) {
    sinceFullTurn_.start();
    WaitInEventLoop(until);
}

void WindowSearchHost::Wake() {
    dispatcher_->wakeUp();
}

void WindowSearchHost::PaintNow() {
    pacer_.PaintNow();
}

} // namespace scanvale
