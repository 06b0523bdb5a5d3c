#include "window_search_host.h"

#include "event_loop_wait.h"
#include "path_text.h"
#include "results_model.h"

#include <QCoreApplication>
#include <QTableView>
#include <QTreeWidget>
#include <utility>

namespace scanvale {

WindowSearchHost::WindowSearchHost(QTreeWidget& folders, QTableView& results)
    : folders_(folders), results_(results), rows_(RowsOf(results)), pacer_(*folders.window()) {}

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
    QCoreApplication::processEvents();
}

void WindowSearchHost::Wait(Clock::time_point until) {
    Apply();
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
