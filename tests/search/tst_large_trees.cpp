// Sizes far beyond everyday trees: a folder of 10,000 subfolders, a tree 2,000 levels deep
// walked on a small stack with few descriptors, and a sparse file of 3 GiB.
#include "engine_test.h"

#include <QtTest>
#include <cstdio>
#include <fcntl.h>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Runs `work` on a thread whose stack holds `stackBytes`; a walk that needs more overflows
// into the guard page and crashes the test.
void RunOnSmallStack(size_t stackBytes, std::function<void()> work) {
    pthread_attr_t attributes;
    QCOMPARE(::pthread_attr_init(&attributes), 0);
    QCOMPARE(::pthread_attr_setstacksize(&attributes, stackBytes), 0);
    pthread_t thread{};
    auto run = [](void* argument) -> void* {
        (*static_cast<std::function<void()>*>(argument))();
        return nullptr;
    };
    QCOMPARE(::pthread_create(&thread, &attributes, run, &work), 0);
    ::pthread_join(thread, nullptr);
    ::pthread_attr_destroy(&attributes);
}

} // namespace

class TestLargeTrees : public QObject {
    Q_OBJECT

private slots:
    void init() { Globals::StopSearch = false; }

    void tenThousandSubfolders() {
        const TestTree tree;
        Paths expected;
        for (int i = 0; i < 10000; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "d%05d", i);
            const bool match = i % 1000 == 999;
            const std::string path =
                tree.Write(std::string(name) + "/f.txt", match ? "a needle" : "nothing here");
            if (match) {
                expected.push_back(path);
            }
        }
        RecordingHost host;
        const uint64_t examinedBefore = Search::Statistics.filesExamined;
        Search::SearchFolder(tree.Root(), {.phrase = "needle"}, host);
        QCOMPARE(host.results, expected);
        QCOMPARE(Search::Statistics.filesExamined - examinedBefore, uint64_t{10000});
        QCOMPARE(host.progress.size(), size_t{10001});
        RecordingHost sequential;
        SearchFolderSequentially(tree.Root(), {.phrase = "needle"}, sequential);
        QCOMPARE(sequential.progress, host.progress);
    }

    // 2,000 levels of 5-byte names: the path is far longer than one system call takes; the
    // walk holds no descriptor per level (it runs with 64 allowed), and the window's part of
    // it fits a stack of 2 MiB (a quarter of the main thread's) with room to spare, also with
    // the sanitizers' larger frames.
    void twoThousandLevels() {
        const TestTree tree;
        tree.Write("top.txt", "nothing");
        const std::string deepest = tree.WriteDeep(2000, "deep", "needle at the bottom");
        rlimit saved{};
        QVERIFY(::getrlimit(RLIMIT_NOFILE, &saved) == 0);
        rlimit low = saved;
        low.rlim_cur = 64;
        QVERIFY(::setrlimit(RLIMIT_NOFILE, &low) == 0);
        RecordingHost host;
        RunOnSmallStack(size_t{2} << 20, [&] {
            Search::SearchFolder(tree.Root(), {.phrase = "NEEDLE", .comparison = Caseless}, host);
        });
        ::setrlimit(RLIMIT_NOFILE, &saved);
        QCOMPARE(host.results, Paths{deepest});
        QCOMPARE(host.progress.size(), size_t{2001});
        QCOMPARE(host.progress.back(), "Searching " + deepest.substr(0, deepest.rfind('/')));
    }

    // Holes read fast from memory; the phrase sits where 32-bit lengths and positions
    // would break: across the 2 GiB mark, and in the last block of a 3 GiB file.
    void sparseThreeGibibyteFile_data() {
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<Search::Comparison>("mode");
        QTest::addColumn<bool>("found");
        const qint64 twoGiB = qint64{1} << 31;
        const qint64 length = qint64{3} << 30;
        QTest::newRow("across the 2 GiB mark, exact") << twoGiB - 3 << Exact << true;
        QTest::newRow("across the 2 GiB mark, any case") << twoGiB - 3 << Caseless << true;
        QTest::newRow("in the last bytes") << length - 6 << Exact << true;
        QTest::newRow("nowhere") << qint64{-1} << Exact << false;
    }
    void sparseThreeGibibyteFile() {
        QFETCH(qint64, offset);
        QFETCH(Search::Comparison, mode);
        QFETCH(bool, found);
        const off_t length = off_t{3} << 30;
        const bool inMemory = QFileInfo(QStringLiteral("/dev/shm")).isWritable();
        const TestTree tree = inMemory ? TestTree(QStringLiteral("/dev/shm")) : TestTree();
        const std::string path = tree.Write("big.txt", "Sparse text file\n");
        {
            const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
            QVERIFY(fd >= 0);
            bool written = ::ftruncate(fd, length) == 0;
            if (written && offset >= 0) {
                written = ::pwrite(fd, "NeEdLe", 6, offset) == 6;
            }
            ::close(fd);
            if (!written) {
                QSKIP("the file system refuses a sparse file of 3 GiB");
            }
        }
        RecordingHost host;
        QCOMPARE(SearchFile(path, "NeEdLe", mode, host), found);
        QCOMPARE(host.results, found ? Paths{path} : Paths{});
        const off_t blocks = (found ? offset + 5 : length) / off_t{Search::BlockSize};
        QCOMPARE(host.yields, static_cast<int>(std::min(blocks + 1, length / 102400)));
    }
};

QTEST_GUILESS_MAIN(TestLargeTrees)
#include "tst_large_trees.moc"
