#include "window_search_host.h"

#include "path_text.h"

#include <QCoreApplication>
#include <QTableWidget>
#include <QTreeWidget>

namespace scanvale {

WindowSearchHost::WindowSearchHost(QTreeWidget& folders, QTableWidget& results)
    : folders_(folders), results_(results), pacer_(*folders.window()) {}

void WindowSearchHost::AddResult(std::string_view path) {
    AppendPathItem(results_, path);
    // The list repaints with the next frame.
    results_.viewport()->update();
}

void WindowSearchHost::ShowProgress(std::string_view text) {
    folders_.headerItem()->setText(0, DisplayPath(text));
}

void WindowSearchHost::Yield() {
    QCoreApplication::processEvents();
}

void WindowSearchHost::PaintNow() {
    pacer_.PaintNow();
}

} // namespace scanvale
