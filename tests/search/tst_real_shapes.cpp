// The pipelined walk on trees shaped like real ones, against the sequential walk: random trees
// with the shapes of system folders and package installs (deep chains, many empty folders,
// folders with hundreds of subfolders, links to folders up, down and across), and the largest
// system folder present. They are wide and deep enough to take the walk to its look-ahead
// budget and back again, which small trees never do; the sanitizer suites run them for faults
// of memory and of threads.
#include "engine_test.h"
#include "random_tree.h"
#include "search/pipeline.h"

#include <QtTest>
#include <algorithm>
#include <chrono>

using scanvale::test::RandomTree;

class TestRealShapes : public QObject {
    Q_OBJECT

private slots:
    void init() { Globals::StopSearch = false; }

    void realShapedTrees_data() {
        QTest::addColumn<unsigned>("seed");
        for (unsigned seed = 1; seed <= 6; ++seed) {
            QTest::addRow("seed %u", seed) << seed;
        }
    }

    // Each tree at 1 to 8 workers, in both comparison modes and at a small block size.
    void realShapedTrees() {
        QFETCH(unsigned, seed);
        const TestTree tree = QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                  ? TestTree(QStringLiteral("/dev/shm"))
                                  : TestTree();
        const RandomTree made(tree, seed, RandomTree::Shape::RealLike);
        QVERIFY2(made.Folders() > 1000, QByteArray::number(made.Folders()).constData());
        const auto mode = seed % 2 != 0 ? Caseless : Exact;
        const size_t block = seed % 3 == 0 ? 64 : Search::BlockSize;
        RecordingHost sequential;
        SearchFolderSequentially(tree.Root(), {.phrase = "needle", .comparison = mode}, sequential,
                                 block);
        for (unsigned workers = 1; workers <= 8; ++workers) {
            RecordingHost pipelined;
            Search::SearchFolder(tree.Root(), {.phrase = "needle", .comparison = mode}, pipelined,
                                 {.blockSize = block, .workers = workers});
            const QByteArray what = QStringLiteral("%1 workers").arg(workers).toUtf8();
            QVERIFY2(pipelined.progress == sequential.progress, what.constData());
            QVERIFY2(pipelined.results == sequential.results, what.constData());
        }
        QTRY_COMPARE(Search::Pipeline::RunningWorkers(), 0u);
    }

    // The largest system folder present, each walk stopped after a minute (the sanitizers are
    // slow): what the shorter walk showed is where the longer one begins.
    void systemFolder() {
        const char* folder = nullptr;
        for (const char* candidate : {"/usr/share", "/usr/lib", "/usr"}) {
            if (QFileInfo(QString::fromUtf8(candidate)).isDir()) {
                folder = candidate;
                break;
            }
        }
        if (folder == nullptr) {
            QSKIP("no system folder to walk");
        }
        auto bounded = [](RecordingHost& host) {
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
            host.onTurn = [&host, end] {
                if (std::chrono::steady_clock::now() >= end) {
                    Globals::StopSearch = true;
                }
            };
        };
        RecordingHost sequential;
        bounded(sequential);
        SearchFolderSequentially(folder, {.phrase = "copyright", .comparison = Caseless},
                                 sequential);
        Globals::StopSearch = false;
        RecordingHost pipelined;
        bounded(pipelined);
        Search::SearchFolder(folder, {.phrase = "copyright", .comparison = Caseless}, pipelined);
        QVERIFY(pipelined.progress.size() > 1);
        const bool shorter = pipelined.progress.size() <= sequential.progress.size();
        QVERIFY(shorter ? Begins(sequential.progress, pipelined.progress)
                        : Begins(pipelined.progress, sequential.progress));
        QVERIFY(shorter ? Begins(sequential.results, pipelined.results)
                        : Begins(pipelined.results, sequential.results));
        QTRY_COMPARE(Search::Pipeline::RunningWorkers(), 0u);
    }
};

QTEST_GUILESS_MAIN(TestRealShapes)
#include "tst_real_shapes.moc"
