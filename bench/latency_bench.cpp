// How quickly the window answers while a search runs: the real main window searches the given
// folder, and a timer that should fire every millisecond records how long the event loop was
// out of reach between two of its firings. Prints the gaps' count, median, 99th percentile and
// maximum, and the run's duration.
//
//   scanvale_latency_bench PHRASE FOLDER   search FOLDER (and its subfolders) for PHRASE
//   scanvale_latency_bench --tree FOLDER N  make N small text files in FOLDER, 1000 a subfolder
//   scanvale_latency_bench --flat FOLDER N  make N small text files all in FOLDER itself
//   scanvale_latency_bench --big FILE MIB   make a text file of MIB mebibytes
#include "bench_dialogs.h"
#include "form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
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
    if (argc != 3) {
        std::fputs("usage: scanvale_latency_bench PHRASE FOLDER | --tree FOLDER N | --big FILE "
                   "MIB\n",
                   stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    BenchDialogs dialogs;
    dialogs.folder = QFile::encodeName(QDir(QFile::decodeName(argv[2])).absolutePath());
    scanvale::Form1 form({.dialogs = &dialogs,
                          .maybeOpenHomePage = {},
                          .endProcess = {},
                          .pointerImageFolder = QString()});
    form.Form_Load();
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
    int results = 0;
    dialogs.onDone = [&] {
        runNs = clock.nsecsElapsed();
        results = form.findChild<QTableWidget*>(QStringLiteral("ListView2"))->rowCount();
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
    return 0;
}
