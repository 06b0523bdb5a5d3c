#include "window_search_host.h"

#include "event_loop_wait.h"
#include "path_text.h"
#include "results_model.h"

#include <QCoreApplication>
#include <QTableView>
#include <QTreeWidget>
#include <utility>

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
      pacer_(*folders.window()) {}

WindowSearchHost::~WindowSearchHost() {
    Apply();
}

void WindowSearchHost::AddResult(std::string_view path) {
    foundPaths_.emplace_back(path.data(), static_cast<qsizetype>(path.size()));
}

void WindowSearchHost::ShowProgress(std::string_view text) {
    progress_.assign(text);
    progressCollected_ = true;
}

void WindowSearchHost::Apply() {
    // Taken out before the lists change, so that nothing is applied twice, whatever runs on
    // the lists' signals.
    if (!foundPaths_.isEmpty()) {
        rows_.Append(std::exchange(foundPaths_, {}));
        // The list repaints with the next frame.
        results_.viewport()->update();
    }
    if (progressCollected_) {
        progressCollected_ = false;
        folders_.headerItem()->setText(0, DisplayPath(progress_));
    }
}

void WindowSearchHost::Yield() {
    // Whatever runs in this turn sees the lists as the engine left them.
    Apply();
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
    Apply();
    sinceFullTurn_.start();
    sleep_.Wait(until);
}

void WindowSearchHost::Wake() {
    sleep_.Wake();
}

void WindowSearchHost::PaintNow() {
    Apply();
    pacer_.PaintNow();
}

} // namespace scanvale
