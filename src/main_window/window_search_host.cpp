#include "window_search_host.h"

#include "path_text.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QTableWidget>
#include <QTreeWidget>

namespace scanvale {

WindowSearchHost::WindowSearchHost(QTreeWidget& folders, QTableWidget& results)
    : folders_(folders), results_(results), dispatcher_(QAbstractEventDispatcher::instance()) {}

void WindowSearchHost::AddResult(std::string_view path) {
    AppendPathItem(results_, path);
    // The list repaints at the window's next turn, which comes within milliseconds.
    results_.viewport()->update();
}

void WindowSearchHost::ShowProgress(std::string_view text) {
    folders_.headerItem()->setText(0, DisplayPath(text));
}

void WindowSearchHost::Yield() {
    QCoreApplication::processEvents();
}

void WindowSearchHost::Wait() {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void WindowSearchHost::Wake() {
    dispatcher_->wakeUp();
}

} // namespace scanvale
