// The program's pipelined walk against the sequential walk it replaces: on random trees the
// two show and list exactly the same, whatever the number of workers and the block size; and
// what only the pipeline has: a stop cuts a worker's batch, a walk waits for a worker thread
// that cannot be started yet, and a search started in one of the window's turns runs on its own
// workers.
#include "engine_test.h"
#include "random_tree.h"
#include "search/pipeline.h"

#include <QtTest>
#include <fcntl.h>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using scanvale::test::RandomTree;

class TestPipelinedWalk : public QObject {
    Q_OBJECT

private slots:
    void init() { Globals::StopSearch = false; }

    void showsWhatTheSequentialWalkShows() {
        std::mt19937 random(20261207);
        const std::vector<size_t> blocks = {1, 2, 3, 5, 8, 64, Search::BlockSize};
        const bool inMemory = QFileInfo(QStringLiteral("/dev/shm")).isWritable();
        const uint64_t spannedBefore = Search::Statistics.filesSpanned;
        const uint64_t sharedBefore = Search::Statistics.batchesShared;
        for (unsigned seed = 1; seed <= 24; ++seed) {
            // Every third tree in memory (reads there never wait), every fourth read from the
            // disk (reads wait, and more threads take up work meanwhile).
            const TestTree tree =
                seed % 3 == 0 && inMemory ? TestTree(QStringLiteral("/dev/shm")) : TestTree();
            const RandomTree made(tree, seed);
            // One to eight workers, and as many as a large desktop has cores.
            for (unsigned workers : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 16u, 32u}) {
                const Search::Query query{.phrase = "needle",
                                          .comparison = random() % 2 != 0 ? Caseless : Exact,
                                          .includeSubfolders = random() % 4 != 0};
                const size_t block = blocks[random() % blocks.size()];
                if (seed % 4 == 0 && workers % 4 == 1) {
                    made.DropPages();
                }
                RecordingHost sequential;
                SearchFolderSequentially(tree.Root(), query, sequential, block);
                RecordingHost pipelined;
                Search::SearchFolder(tree.Root(), query, pipelined,
                                     {.blockSize = block, .workers = workers});
                const QByteArray what = QStringLiteral("seed %1, %2 workers, mode %3, block %4")
                                            .arg(seed)
                                            .arg(workers)
                                            .arg(static_cast<int>(query.comparison))
                                            .arg(block)
                                            .toUtf8();
                QVERIFY2(pipelined.progress == sequential.progress, what.constData());
                QVERIFY2(pipelined.results == sequential.results, what.constData());
            }
        }
        // The trees reach the long files read a span at a time and the batches shared with
        // idle workers, whose results must be the same.
        QVERIFY(Search::Statistics.filesSpanned > spannedBefore);
        QVERIFY(Search::Statistics.batchesShared > sharedBefore);
    }

    // A folder too large to be listed ahead (its directory holds over a mebibyte) is listed
    // once the window reaches it, and shows what the sequential walk shows.
    void largeFolderListedWhenReached() {
        if (!QFileInfo(QStringLiteral("/dev/shm")).isWritable()) {
            QSKIP("making a folder of 60,000 names needs the memory file system /dev/shm");
        }
        const TestTree tree(QStringLiteral("/dev/shm"));
        // The window stays in "a" while its files are examined, and "b" is taken up ahead.
        for (int i = 0; i < 2000; ++i) {
            tree.Write("a/f" + std::to_string(i), "no match");
        }
        tree.Write("b/zz.txt", "needle");
        tree.Write("c/f.txt", "needle");
        for (int i = 0; i < 60000; ++i) {
            ::close(::open(tree.Path("b/e" + std::to_string(i)).c_str(),
                           O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
        }
        struct stat st {};
        QVERIFY(::stat(tree.Path("b").c_str(), &st) == 0 && st.st_size > (1 << 20));
        RecordingHost sequential;
        SearchFolderSequentially(tree.Root(), {.phrase = "needle"}, sequential);
        for (unsigned workers : {1u, 4u}) {
            RecordingHost pipelined;
            Search::SearchFolder(tree.Root(), {.phrase = "needle"}, pipelined,
                                 {.workers = workers});
            QCOMPARE(pipelined.results, sequential.results);
            QCOMPARE(pipelined.progress, sequential.progress);
        }
    }

    // A stop that comes while a worker reads the first file of its batch cuts the batch: the
    // file is left between blocks and the folder's 31 other files are never examined (a few
    // may have been read ahead with it). The stop is the test's "click" a millisecond into the
    // window's sleep.
    void stopCutsABatch() {
        QTRY_COMPARE(Search::Pipeline::RunningWorkers(), 0u);
        const TestTree tree;
        tree.Write("a.txt", std::string(size_t{32} << 20, '.'));
        for (int i = 0; i < 31; ++i) {
            tree.Write("b" + std::to_string(10 + i) + ".txt", "needle");
        }
        const uint64_t examinedBefore = Search::Statistics.filesExamined;
        RecordingHost host;
        host.waitAtMost = std::chrono::milliseconds(1);
        host.onTurn = [&] {
            Globals::StopSearch = Search::Statistics.filesExamined > examinedBefore;
        };
        Search::SearchFolder(tree.Root(), {.phrase = "needle"}, host,
                             {.blockSize = 512, .workers = 1});
        QVERIFY(Globals::StopSearch);
        QTRY_COMPARE(Search::Pipeline::RunningWorkers(), 0u);
        QCOMPARE(Search::Statistics.filesExamined - examinedBefore, uint64_t{1});
        QVERIFY(host.results.empty());
    }

    // While no worker thread can be started (the user's threads at their limit), the window's
    // thread takes its turns and examines nothing itself; the walk starts once one can be.
    void waitsForAWorkerThread() {
        if (::geteuid() == 0) {
            QSKIP("root is not held to the limit of threads; this runs again as nobody");
        }
        const TestTree tree;
        const std::string file = tree.Write("f.txt", "needle");
        rlimit saved{};
        QVERIFY(::getrlimit(RLIMIT_NPROC, &saved) == 0);
        rlimit none = saved;
        none.rlim_cur = 0;
        QVERIFY(::setrlimit(RLIMIT_NPROC, &none) == 0);
        try {
            std::thread([] {}).join();
            ::setrlimit(RLIMIT_NPROC, &saved);
            QSKIP("the limit does not keep threads from starting here");
        } catch (const std::system_error&) {
        }
        int shownWithout = -1; // before the limit is lifted, at the 50th turn
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        RecordingHost host;
        host.onTurn = [&] {
            if (host.yields + host.waits == 50) {
                shownWithout = static_cast<int>(host.results.size() + host.progress.size());
                ::setrlimit(RLIMIT_NPROC, &saved);
            }
            Globals::StopSearch = std::chrono::steady_clock::now() > giveUp;
        };
        Search::SearchFolder(tree.Root(), {.phrase = "needle"}, host, {.workers = 2});
        ::setrlimit(RLIMIT_NPROC, &saved);
        QCOMPARE(shownWithout, 0);
        QCOMPARE(host.results, Paths{file});
    }

    // A search started in a turn of another (a second click on "Search!" while a stopped run
    // unwinds, a run from a dialog) shows its results there; the outer one then goes on with
    // its own, unchanged: in blocks of 4 bytes, every phrase straddles blocks of both.
    void searchInsideAnotherRunsOnItsOwn() {
        const TestTree tree;
        for (int i = 0; i < 50; ++i) {
            tree.Write("outer/d" + std::to_string(100 + i) + "/f.txt", i % 3 == 0 ? "needle" : "x");
            tree.Write("inner/d" + std::to_string(100 + i) + "/f.txt", i % 5 == 0 ? "other" : "x");
        }
        RecordingHost inner;
        SearchFolderSequentially(tree.Path("inner"), {.phrase = "other"}, inner);
        RecordingHost outer;
        SearchFolderSequentially(tree.Path("outer"), {.phrase = "needle"}, outer);
        Paths progress = {outer.progress.front()};
        progress.insert(progress.end(), inner.progress.begin(), inner.progress.end());
        progress.insert(progress.end(), outer.progress.begin() + 1, outer.progress.end());
        Paths results = inner.results;
        results.insert(results.end(), outer.results.begin(), outer.results.end());

        RecordingHost host;
        bool nested = false;
        host.onTurn = [&] {
            if (!nested && !host.progress.empty()) {
                nested = true;
                Search::SearchFolder(tree.Path("inner"), {.phrase = "other"}, host,
                                     {.blockSize = 4, .workers = 2});
            }
        };
        // A turn after every event shown: the nested search starts in the one after the outer
        // folder is shown.
        Search::SearchFolder(tree.Path("outer"), {.phrase = "needle"}, host,
                             {.blockSize = 4, .workers = 2, .yieldInterval = {}});
        QVERIFY(nested);
        QCOMPARE(host.results, results);
        QCOMPARE(host.progress, progress);
    }
};

QTEST_GUILESS_MAIN(TestPipelinedWalk)
#include "tst_pipelined_walk.moc"
