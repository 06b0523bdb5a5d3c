// A batch's files opened and read together through io_uring (BatchReads) against the plain
// system calls: on random trees (text, binary and wide heads, files longer than a block, links,
// FIFOs, unreadable entries) both show, list and count exactly the same, and the ring really
// reads the small files while the plain path takes those longer than a block.
#include "engine_test.h"
#include "random_tree.h"
#include "search/batch_reads.h"

#include <QtTest>
#include <random>

using scanvale::test::RandomTree;

namespace {

struct Run {
    RecordingHost host;
    uint64_t examined = 0;
    uint64_t bytes = 0;
    uint64_t batched = 0;
};

void RunSearch(Run& run, const TestTree& tree, const Search::Query& query,
               Search::SearchSettings settings) {
    auto& statistics = Search::Statistics;
    const uint64_t examined = statistics.filesExamined;
    const uint64_t bytes = statistics.bytesRead;
    const uint64_t batched = statistics.filesBatched;
    Search::SearchFolder(tree.Root(), query, run.host, settings);
    run.examined = statistics.filesExamined - examined;
    run.bytes = statistics.bytesRead - bytes;
    run.batched = statistics.filesBatched - batched;
}

} // namespace

class TestBatchedReads : public QObject {
    Q_OBJECT

private slots:
    void init() { Globals::StopSearch = false; }

    void batchedShowsAndCountsWhatPlainDoes() {
        if (!Search::BatchReads::Available()) {
            QSKIP("io_uring cannot be used here: only the plain path runs");
        }
        std::mt19937 random(20261208);
        const bool inMemory = QFileInfo(QStringLiteral("/dev/shm")).isWritable();
        uint64_t batchedFiles = 0;
        uint64_t plainFiles = 0; // examined on plain calls in the batched runs
        for (unsigned seed = 1; seed <= 12; ++seed) {
            const TestTree tree =
                seed % 3 == 0 && inMemory ? TestTree(QStringLiteral("/dev/shm")) : TestTree();
            const RandomTree made(
                tree, seed, seed % 6 == 0 ? RandomTree::Shape::RealLike : RandomTree::Shape::Small);
            // Tiny blocks send most files to the plain path, the program's block almost none;
            // one worker examines the same files either way, two race for them. The one worker
            // has no readers added while a read waits for the disk: they would race it too.
            for (const size_t block : {size_t{64}, size_t{4096}, Search::BlockSize}) {
                for (const unsigned workers : {1u, 2u}) {
                    const unsigned readers =
                        workers == 1 ? 0 : Search::SearchSettings{}.waitingReaders;
                    const Search::Query query{.phrase = "needle",
                                              .comparison = random() % 2 != 0 ? Caseless : Exact,
                                              .includeSubfolders = random() % 4 != 0};
                    Run plain;
                    RunSearch(plain, tree, query,
                              {.blockSize = block,
                               .workers = workers,
                               .waitingReaders = readers,
                               .batchedReads = false});
                    Run batched;
                    RunSearch(batched, tree, query,
                              {.blockSize = block,
                               .workers = workers,
                               .waitingReaders = readers,
                               .batchedReads = true});
                    const QByteArray what = QStringLiteral("seed %1, block %2, %3 workers")
                                                .arg(seed)
                                                .arg(block)
                                                .arg(workers)
                                                .toUtf8();
                    QVERIFY2(batched.host.progress == plain.host.progress, what.constData());
                    QVERIFY2(batched.host.results == plain.host.results, what.constData());
                    QVERIFY2(plain.batched == 0, what.constData());
                    if (workers == 1) {
                        QVERIFY2(batched.examined == plain.examined, what.constData());
                        QVERIFY2(batched.bytes == plain.bytes, what.constData());
                    }
                    batchedFiles += batched.batched;
                    plainFiles += batched.examined - batched.batched;
                }
            }
        }
        QVERIFY(batchedFiles > 0);
        QVERIFY(plainFiles > 0);
    }
};

QTEST_GUILESS_MAIN(TestBatchedReads)
#include "tst_batched_reads.moc"
