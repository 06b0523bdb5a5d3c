// Fills the real window's results list with many entries through the host a search uses, then
// scrolls through it, and reports how long both took.
//
//   scanvale_results_soak [--burst] [ENTRIES]   (default 200000; offscreen unless
//                                               QT_QPA_PLATFORM is set)
//
// Without --burst each entry is followed by a yield, which puts it into the list: a batch of
// one, the most a search's results can cost. --burst yields not at all, so the host collects
// every entry and the list takes them as one batch before the last paint: the least they can
// cost, with none of the layout and redraw that yields run.
//
// Appending is timed per tenth of the entries, so a cost that grows with the list's length
// shows as a later tenth taking longer than the first. Scrolling is timed per page step with a
// full repaint of the list.
#include "form1.h"
#include "peak_memory.h"
#include "qt_dialogs.h"
#include "window_search_host.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTableView>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <string>

using scanvale::bench::PeakMemoryKiB;

namespace {

double Milliseconds(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const bool burst = arguments.contains(QStringLiteral("--burst"));
    const QString count = arguments.size() > 1 ? arguments.last() : QString();
    const int entries = count.toInt() >= 10 ? count.toInt() : 200000;

    scanvale::QtDialogs dialogs;
    scanvale::Form1Services services;
    services.dialogs = &dialogs;
    services.maybeOpenHomePage = [] {};
    services.endProcess = [] {};
    scanvale::Form1 form(services);
    form.Form_Load();
    form.show();
    auto* folders = form.findChild<QTreeWidget*>(QStringLiteral("ListView1"));
    auto* list = form.findChild<QTableView*>(QStringLiteral("ListView2"));
    if (folders == nullptr || list == nullptr) {
        std::fputs("the window has no lists ListView1 and ListView2\n", stderr);
        return 1;
    }
    QApplication::processEvents();

    // Report each entry as a search does, through the host a search uses, and yield once per
    // file. The host lives as long as a run would, and the time includes its last paint, which
    // a run makes before it says "Done.".
    const int tenth = entries / 10;
    QElapsedTimer total;
    total.start();
    QElapsedTimer part;
    part.start();
    {
        scanvale::WindowSearchHost host(*folders, *list);
        std::string path;
        for (int i = 0; i < entries; ++i) {
            path = "/home/user/projects/folder-" + std::to_string(i / 100) + "/file-" +
                   std::to_string(i) + ".txt";
            host.AddResult(path);
            if (!burst) {
                host.Yield();
            }
            if ((i + 1) % tenth == 0) {
                std::printf("entries %7d  last tenth %8.1f ms\n", i + 1, Milliseconds(part));
                part.restart();
            }
        }
        host.PaintNow();
    }
    const double appendMs = Milliseconds(total);

    // Scroll from top to bottom a page at a time, repainting every step.
    QApplication::processEvents();
    QScrollBar* bar = list->verticalScrollBar();
    bar->setValue(0);
    QApplication::processEvents();
    int steps = 0;
    double slowest = 0;
    total.restart();
    while (bar->value() < bar->maximum()) {
        QElapsedTimer step;
        step.start();
        bar->setValue(bar->value() + std::max(1, bar->pageStep()));
        list->viewport()->repaint();
        QApplication::processEvents();
        slowest = std::max(slowest, Milliseconds(step));
        ++steps;
    }
    const double scrollMs = Milliseconds(total);
    QElapsedTimer jump;
    jump.start();
    list->scrollToTop();
    list->viewport()->repaint();
    list->scrollToBottom();
    list->viewport()->repaint();
    const double jumpMs = Milliseconds(jump);

    std::printf("entries %d (list holds %d)\n", entries, list->model()->rowCount());
    std::printf("append: %.0f ms in all, %.2f us per entry\n", appendMs,
                appendMs * 1000.0 / entries);
    std::printf("scroll: %d page steps, %.2f ms mean, %.2f ms slowest; top-to-bottom jump "
                "%.2f ms\n",
                steps, steps > 0 ? scrollMs / steps : 0.0, slowest, jumpMs);
    std::printf("peak memory %ld KiB\n", PeakMemoryKiB());
    return 0;
}
