// Times a search in the real main window: the folder is added through "Add Folder to Search",
// the phrase typed, "Search In Subfolders Also" ticked, and "Search!" clicked, with the dialog
// seam answering at once; the time runs from the click until the "Done." box would open.
// bench/window.sh runs it on an X server beside the benchmark program (the engine alone).
//
//   scanvale_window_bench PHRASE FOLDER   prints "results N seconds S paints P" on one line
//   scanvale_window_bench --yield-cost    prints what one yield with nothing to do costs, in
//                                         the shown window, as the search's host gives it and
//                                         as a bare processEvents() call
//
// Paints are those of the folder list's header during the search, whose text changes with every
// folder entered: how often the window was painted.
#include "bench_dialogs.h"
#include "form1.h"
#include "window_search_host.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTreeWidget>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <functional>

using scanvale::bench::BenchDialogs;

namespace {

// Counts the paint events a widget receives.
class PaintCounter final : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return false;
    }
};

double Seconds(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

// Shows the window and lets the first paints and the window manager's answers settle.
bool ShowAndSettle(scanvale::Form1& form) {
    form.Form_Load();
    form.show();
    QElapsedTimer waited;
    waited.start();
    while (form.windowHandle() == nullptr || !form.windowHandle()->isExposed()) {
        if (waited.elapsed() > 10000) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    waited.restart();
    while (waited.elapsed() < 300) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

int YieldCost(scanvale::Form1& form) {
    constexpr int Yields = 200000;
    scanvale::WindowSearchHost host(*form.findChild<QTreeWidget*>(QStringLiteral("ListView1")),
                                    *form.findChild<QTableView*>(QStringLiteral("ListView2")));
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Yields; ++i) {
        host.Yield();
    }
    const double hostNs = static_cast<double>(timer.nsecsElapsed()) / Yields;
    timer.restart();
    for (int i = 0; i < Yields; ++i) {
        QCoreApplication::processEvents();
    }
    const double processNs = static_cast<double>(timer.nsecsElapsed()) / Yields;
    std::printf("yield %.0f ns processEvents %.0f ns\n", hostNs, processNs);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool yieldCost = argc == 2 && QByteArray(argv[1]) == "--yield-cost";
    if (argc != 3 && !yieldCost) {
        std::fputs("usage: scanvale_window_bench PHRASE FOLDER | --yield-cost\n", stderr);
        return 2;
    }
    BenchDialogs dialogs;
    scanvale::Form1 form({.dialogs = &dialogs,
                          .maybeOpenHomePage = {},
                          .endProcess = {},
                          .pointerImageFolder = QString()});
    if (!ShowAndSettle(form)) {
        std::fputs("the window was never shown\n", stderr);
        return 1;
    }
    if (yieldCost) {
        return YieldCost(form);
    }

    dialogs.folder = QFile::encodeName(QDir(QFile::decodeName(argv[2])).absolutePath());
    form.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QString::fromLocal8Bit(argv[1]));
    form.findChild<QCheckBox*>(QStringLiteral("Check5"))->setChecked(true);
    form.findChild<QAbstractButton*>(QStringLiteral("Check3"))->setChecked(true);
    auto* results = form.findChild<QTableView*>(QStringLiteral("ListView2"));
    PaintCounter painted;
    form.findChild<QTreeWidget*>(QStringLiteral("ListView1"))
        ->header()
        ->viewport()
        ->installEventFilter(&painted);

    QElapsedTimer clock;
    double seconds = 0;
    int found = 0;
    dialogs.onDone = [&] {
        seconds = Seconds(clock);
        found = results->model()->rowCount();
    };
    clock.start();
    form.findChild<QAbstractButton*>(QStringLiteral("Check1"))->click();
    std::printf("results %d seconds %.4f paints %d\n", found, seconds, painted.paints);
    std::fflush(stdout);
    // Ends at once, as the program does when its window is closed.
    std::_Exit(0);
}
