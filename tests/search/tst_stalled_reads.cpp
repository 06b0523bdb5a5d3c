// A file system that stops answering (a dead network share, a hung FUSE mount) never holds the
// window: a stop returns at once while a worker is stuck in a read or a lookup; the stuck
// worker, once its call returns long after, touches nothing that was freed (run under the
// sanitizers), closes what it opened and ends; and other searches meanwhile run on workers
// of their own.
#include "engine_test.h"
#include "event_loop_host.h"
#include "search/pipeline.h"
#include "stalled_mount.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

using scanvale::test::StalledMount;
using scanvale::test::StopBoundMs;

namespace {

// The descriptors this process holds open on files and folders below `folder`.
int DescriptorsBelow(const QString& folder) {
    const QDir descriptors(QStringLiteral("/proc/self/fd"));
    int count = 0;
    for (const QString& fd : descriptors.entryList(QDir::Files)) {
        const QString target = QFileInfo(descriptors.filePath(fd)).symLinkTarget();
        count += target == folder || target.startsWith(folder + QLatin1Char('/')) ? 1 : 0;
    }
    return count;
}

} // namespace

class TestStalledReads : public QObject {
    Q_OBJECT

private slots:
    void init() { Globals::StopSearch = false; }

    // The walk lists a-stalls.txt, b.txt and sub: the first file's read stalls, so nothing
    // after it may be shown; a stop (a click handled while the window waits) ends the search.
    void stopWhileACallStalls_data() {
        QTest::addColumn<bool>("lookup"); // the listed folder's own lookup stalls
        QTest::newRow("a read stalls") << false;
        QTest::newRow("the listed folder's lookup stalls") << true;
    }
    void stopWhileACallStalls() {
        QFETCH(bool, lookup);
        QTRY_COMPARE(Search::Pipeline::RunningWorkers(), 0u);
        StalledMount mount;
        if (!mount.Ok()) {
            QSKIP(qPrintable(mount.Error()));
        }
        scanvale::test::EventLoopHost host;
        QElapsedTimer sinceStop;
        QTimer click;
        click.setInterval(2);
        connect(&click, &QTimer::timeout, this, [&] {
            if (!Globals::StopSearch && (lookup ? mount.LookupStalled() : mount.ReadStalled())) {
                Globals::StopSearch = true;
                sinceStop.start();
            }
        });
        click.start();
        const std::string root = QFile::encodeName(mount.MountPoint()).toStdString();
        const std::string folder = lookup ? mount.Path("lookup-stalls") : root;
        Search::SearchFolder(folder, {.phrase = "needle"}, host, {.workers = 2});
        const double stopMs = static_cast<double>(sinceStop.nsecsElapsed()) / 1e6;
        click.stop();
        QVERIFY(sinceStop.isValid());
        qInfo("from the stop to the search's return: %.3f ms", stopMs);
        QVERIFY2(stopMs < StopBoundMs, qPrintable(QString::number(stopMs)));
        QVERIFY(host.results.empty());
        // The listed folder is shown, unless the stop came in the same turn as its event.
        QVERIFY(host.progress.empty() || host.progress == Paths{"Searching " + root});
        QVERIFY(!lookup || host.progress.empty());
        QVERIFY(Search::Pipeline::RunningWorkers() > 0); // stuck in the call
        // Stuck in a read, a worker holds the file and its folder open.
        QCOMPARE(DescriptorsBelow(mount.MountPoint()) > 0, !lookup);

        // Another search meanwhile, on a single worker of its own.
        Globals::StopSearch = false;
        const TestTree tree;
        const std::string file = tree.Write("f.txt", "needle");
        RecordingHost other;
        Search::SearchFolder(tree.Root(), {.phrase = "needle"}, other, {.workers = 1});
        QCOMPARE(other.results, Paths{file});

        // The stuck worker finishes its call long after the search was left, and ends.
        QElapsedTimer stuck;
        stuck.start();
        mount.Release();
        QTRY_COMPARE_WITH_TIMEOUT(Search::Pipeline::RunningWorkers(), 0u, 10000);
        qInfo("the stuck workers ended %lld ms after the call returned", stuck.elapsed());
        QCOMPARE(DescriptorsBelow(mount.MountPoint()), 0);
    }
};

QTEST_GUILESS_MAIN(TestStalledReads)
#include "tst_stalled_reads.moc"
