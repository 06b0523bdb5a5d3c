#include "window_search_host.h"

#include "path_text.h"

#include <QCoreApplication>
#include <QTableWidget>
#include <QTreeWidget>

namespace scanvale {

WindowSearchHost::WindowSearchHost(QTreeWidget& folders, QTableWidget& results)
    : folders_(folders), results_(results) {}

void WindowSearchHost::AddResult(std::string_view path) {
    AppendPathItem(results_, path);
    // The list repaints at the next yield, which comes before the next file at the latest.
    results_.viewport()->update();
}

void WindowSearchHost::ShowProgress(std::string_view text) {
    folders_.headerItem()->setText(0, DisplayPath(text));
}

void WindowSearchHost::Yield() {
    QCoreApplication::processEvents();
}

} // namespace scanvale
