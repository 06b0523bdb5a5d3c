// How quickly the window answers while a search runs: the real main window searches the given
// folder, and a timer that should fire every millisecond records how long the event loop was
// out of reach between two of its firings. Prints the gaps' count, median, 99th percentile and
// maximum, and the run's duration.
//
//   scanvale_latency_bench PHRASE FOLDER [STOP_MS]
//                                          search FOLDER (and its subfolders) for PHRASE; with
//                                          STOP_MS, click "Stop!" that long after the start and
//                                          print how long "Done." took to show (a search of a
//                                          stalled mount ends only so)
//   scanvale_latency_bench --turn-cost     what the window's thread pays for a turn at its
//                                          events with nothing to do, and for a wake-up
//   scanvale_latency_bench --tree FOLDER N  make N small text files in FOLDER, 1000 a subfolder
//   scanvale_latency_bench --flat FOLDER N  make N small text files all in FOLDER itself
//   scanvale_latency_bench --big FILE MIB   make a text file of MIB mebibytes
#include "bench_dialogs.h"
#include "form1.h"

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using scanvale::bench::BenchDialogs;

namespace {

int MakeTree(const std::string& folder, long count, long perFolder) {
    const std::string line = "a line of ordinary text without the word looked for\n";
    for (long i = 0; i < count; ++i) {
        const std::string sub = folder + "/d" + std::to_string(i / perFolder);
        if (i % perFolder == 0) {
            QDir().mkpath(QString::fromStdString(sub));
        }
        std::ofstream(sub + "/f" + std::to_string(i) + ".txt") << line << line;
    }
    return 0;
}

int MakeBig(const std::string& file, long mebibytes) {
    std::string block;
    while (block.size() < (1 << 20)) {
        block += "a line of ordinary text without the word looked for, repeated\n";
    }
    block.resize(1 << 20);
    std::ofstream out(file, std::ios::binary);
    for (long i = 0; i < mebibytes; ++i) {
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    return out ? 0 : 1;
}

// Times, on the shown window: a turn at the events with nothing pending (what the search pays
// every few milliseconds while it shows results), the same turn woken on this thread, and a
// wait woken from another thread (what a worker's wake-up costs the window's thread).
int TurnCost(scanvale::Form1& form) {
    form.show();
    for (int i = 0; i < 100; ++i) {
        QCoreApplication::processEvents();
    }
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    const auto microseconds = [](const QElapsedTimer& timer, int n) {
        return static_cast<double>(timer.nsecsElapsed()) / 1e3 / n;
    };
    constexpr int Turns = 20000;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Turns; ++i) {
        QCoreApplication::processEvents();
    }
    const double idle = microseconds(timer, Turns);
    timer.restart();
    for (int i = 0; i < Turns; ++i) {
        dispatcher->wakeUp();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    const double woken = microseconds(timer, Turns);
    constexpr int Wakes = 2000;
    std::vector<qint64> latencyNs;
    for (int i = 0; i < Wakes; ++i) {
        QElapsedTimer sent;
        std::thread waker([&] {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            sent.start();
            dispatcher->wakeUp();
        });
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        latencyNs.push_back(sent.nsecsElapsed());
        waker.join();
    }
    std::sort(latencyNs.begin(), latencyNs.end());
    std::printf("turn with nothing pending %.2f us; woken turn %.2f us; wake from another "
                "thread to the wait's return: median %.1f us, p99 %.1f us\n",
                idle, woken, static_cast<double>(latencyNs[Wakes / 2]) / 1e3,
                static_cast<double>(latencyNs[Wakes * 99 / 100]) / 1e3);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--tree") {
        return MakeTree(argv[2], std::stol(argv[3]), 1000);
    }
    if (argc == 4 && std::string(argv[1]) == "--flat") {
        return MakeTree(argv[2], std::stol(argv[3]), std::stol(argv[3]));
    }
    if (argc == 4 && std::string(argv[1]) == "--big") {
        return MakeBig(argv[2], std::stol(argv[3]));
    }
    const bool turnCost = argc == 2 && std::string(argv[1]) == "--turn-cost";
    if (argc != 3 && argc != 4 && !turnCost) {
        std::fputs("usage: scanvale_latency_bench PHRASE FOLDER [STOP_MS] | --turn-cost | --tree "
                   "FOLDER N | --flat FOLDER N | --big FILE MIB\n",
                   stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    BenchDialogs dialogs;
    scanvale::Form1 form({.dialogs = &dialogs,
                          .maybeOpenHomePage = {},
                          .endProcess = {},
                          .pointerImageFolder = QString()});
    form.Form_Load();
    if (turnCost) {
        return TurnCost(form);
    }
    dialogs.folder = QFile::encodeName(QDir(QFile::decodeName(argv[2])).absolutePath());
    form.show();
    form.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QString::fromLocal8Bit(argv[1]));
    form.findChild<QCheckBox*>(QStringLiteral("Check5"))->setChecked(true);
    form.findChild<QAbstractButton*>(QStringLiteral("Check3"))->setChecked(true);

    std::vector<qint64> gapsNs;
    QElapsedTimer clock;
    qint64 lastNs = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        gapsNs.push_back(now - lastNs);
        lastNs = now;
    });
    qint64 runNs = 0;
    qint64 stopNs = -1;
    int results = 0;
    if (argc == 4) {
        QTimer::singleShot(std::stoi(argv[3]), &form, [&] {
            stopNs = clock.nsecsElapsed();
            form.findChild<QAbstractButton*>(QStringLiteral("Check1"))->click();
        });
    }
    dialogs.onDone = [&] {
        runNs = clock.nsecsElapsed();
        results = form.findChild<QTableView*>(QStringLiteral("ListView2"))->model()->rowCount();
        probe.stop();
    };
    QTimer::singleShot(0, &form, [&] {
        clock.start();
        probe.start();
        form.findChild<QAbstractButton*>(QStringLiteral("Check1"))->click();
        QCoreApplication::quit();
    });
    QApplication::exec();

    std::sort(gapsNs.begin(), gapsNs.end());
    if (gapsNs.empty()) {
        std::fprintf(stderr, "the probe never fired\n");
        return 1;
    }
    const auto ms = [](qint64 ns) { return static_cast<double>(ns) / 1e6; };
    const auto at = [&](double share) {
        return gapsNs[static_cast<size_t>(share * static_cast<double>(gapsNs.size() - 1))];
    };
    std::printf("results %d, run %.3f s, gaps %zu, median %.3f ms, p99 %.3f ms, max %.3f ms\n",
                results, static_cast<double>(runNs) / 1e9, gapsNs.size(), ms(at(0.5)), ms(at(0.99)),
                ms(gapsNs.back()));
    if (stopNs >= 0) {
        std::printf("\"Done.\" %.3f ms after \"Stop!\" was clicked\n", ms(runNs - stopNs));
    }
    return 0;
}
