// How a search's progress reaches the window: handlers in a turn see all of it in the lists, the
// window is painted at most once per frame, and the run's last state is painted before "Done.";
// and how the window's thread waits for it: a doze lasts through the window's own events.

#include "form_fixture.h"
#include "list_texts.h"
#include "tree_fixture.h"
#include "window_search_host.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <chrono>
#include <thread>

using scanvale::test::FormFixture;
using scanvale::test::TestTree;
using scanvale::test::Texts;

namespace {

// Records the paints a widget receives and what `state` read at the last one.
class PaintWatch final : public QObject {
public:
    PaintWatch(QWidget& widget, std::function<QString()> state) : state_(std::move(state)) {
        widget.installEventFilter(this);
    }
    int paints = 0;
    QString lastPainted;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            lastPainted = state_();
        }
        return false;
    }

private:
    std::function<QString()> state_;
};

} // namespace

class TestRunPainting : public QObject {
    Q_OBJECT

private slots:
    void turnsSeeEverythingReported();
    void dozesThroughTheWindowsOwnEventsUntilWoken();
    void paintsFollowTheClockAndEndWithTheFinalState();
};

void TestRunPainting::turnsSeeEverythingReported() {
    // The host collects between turns. A handler inside a turn (a posted call, as a click or a
    // stop request is), also inside a run nested in one, finds every result so far and the
    // latest header text in the lists, and no result is lost or moved across batches.
    FormFixture f;
    f.Load();
    auto* folders = f.Find<QTreeWidget>("ListView1");
    auto* results = f.Find<QTableView>("ListView2");
    QStringList seen;
    const auto look = [&] {
        seen << folders->headerItem()->text(0) + u':' + Texts(*results).join(u' ');
    };
    {
        scanvale::WindowSearchHost outer(*folders, *results);
        outer.ShowProgress("Searching /a");
        outer.AddResult("/a/1");
        outer.ShowProgress("Searching /a/\xff");
        QMetaObject::invokeMethod(f.form.get(), look, Qt::QueuedConnection);
        outer.Yield();
        outer.AddResult("/a/\xff/2");
        QMetaObject::invokeMethod(
            f.form.get(),
            [&] {
                scanvale::WindowSearchHost inner(*folders, *results);
                inner.AddResult("/x/1");
                inner.ShowProgress("Searching /x");
                QMetaObject::invokeMethod(f.form.get(), look, Qt::QueuedConnection);
                inner.Wait({});
                inner.AddResult("/x/2");
            },
            Qt::QueuedConnection);
        outer.Wait({});
        outer.AddResult("/c/3");
    }
    QCOMPARE(seen, (QStringList{"Searching /a/\\xff:/a/1", "Searching /x:/a/1 /a/\\xff/2 /x/1"}));
    QCOMPARE(Texts(*results).join(u' '), QStringLiteral("/a/1 /a/\\xff/2 /x/1 /x/2 /c/3"));
}

void TestRunPainting::dozesThroughTheWindowsOwnEventsUntilWoken() {
    // A timer of the window's fires every 5 ms (as its frame timer and repaint requests come):
    // a doze handles each and sleeps on to its end, or until a worker wakes it; a wait without
    // a time limit returns once it has handled one.
    using Clock = std::chrono::steady_clock;
    FormFixture f;
    f.Load();
    scanvale::WindowSearchHost host(*f.Find<QTreeWidget>("ListView1"),
                                    *f.Find<QTableView>("ListView2"));
    int ticks = 0;
    QTimer ticking;
    QObject::connect(&ticking, &QTimer::timeout, [&] { ++ticks; });
    ticking.start(5);
    auto start = Clock::now();
    host.Wait(start + std::chrono::milliseconds(200));
    QVERIFY(Clock::now() - start >= std::chrono::milliseconds(199));
    QVERIFY(ticks >= 5);

    std::thread worker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        host.Wake();
    });
    start = Clock::now();
    host.Wait(start + std::chrono::seconds(10));
    worker.join();
    QVERIFY(Clock::now() - start < std::chrono::seconds(5));

    const int before = ticks;
    host.Wait(Clock::time_point::max());
    QVERIFY(ticks > before);
}

void TestRunPainting::paintsFollowTheClockAndEndWithTheFinalState() {
    // Many listed folders, each with a match (put into the list in the turn before the next
    // folder); every result takes about a millisecond, as on a slow disk, so the run lasts many
    // frames and enters folders and lists results far faster than frames pass.
    constexpr int Folders = 300;
    const TestTree tree;
    QStringList listed;
    for (int i = 0; i < Folders; ++i) {
        const QString folder = QStringLiteral("d%1").arg(i, 3, 10, QLatin1Char('0'));
        tree.Write(folder.toStdString() + "/a.txt", "the invoice\n");
        listed << QString::fromStdString(tree.Path(folder.toStdString()));
    }
    FormFixture f;
    f.Load().show();
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    auto* folders = f.Find<QTreeWidget>("ListView1");
    auto* results = f.Find<QTableView>("ListView2");
    f.AddFolders(listed);
    f.Find<QLineEdit>("Text1")->setText(QStringLiteral("invoice"));
    connect(results->model(), &QAbstractItemModel::rowsInserted, this, [] { QTest::qSleep(1); });

    PaintWatch header(*folders->header()->viewport(),
                      [folders] { return folders->headerItem()->text(0); });
    PaintWatch list(*results->viewport(),
                    [results] { return QString::number(results->model()->rowCount()); });
    QElapsedTimer clock;
    qint64 runMs = 0;
    int headerPaints = 0;
    int listPaints = 0;
    QString headerShown;
    QString rowsShown;
    f.dialogs.whileAsking = [&] {
        runMs = clock.elapsed();
        headerPaints = header.paints;
        listPaints = list.paints;
        headerShown = header.lastPainted;
        rowsShown = list.lastPainted;
    };
    clock.start();
    f.Find<QAbstractButton>("Check1")->click();

    QCOMPARE(results->model()->rowCount(), Folders);
    QCOMPARE(headerShown, QStringLiteral("Folder(s)"));
    QCOMPARE(rowsShown, QString::number(Folders));
    // One paint per frame at most, plus the one that puts the last state on screen.
    // A screen that reports no refresh rate is paced at 60 Hz.
    const qreal rate = f.form->screen()->refreshRate();
    const qreal frameMs = 1000 / (rate >= 1 ? rate : 60);
    const auto bound = static_cast<int>(static_cast<qreal>(runMs) / frameMs) + 2;
    const QString counts = QStringLiteral("%1 header and %2 list paints in %3 ms")
                               .arg(headerPaints)
                               .arg(listPaints)
                               .arg(runMs);
    QVERIFY2(headerPaints <= bound && listPaints <= bound, qPrintable(counts));
    // Results appear while the run goes on, not only at its end.
    QVERIFY2(listPaints >= 3, qPrintable(counts));
}

QTEST_MAIN(TestRunPainting)
#include "tst_run_painting.moc"
