// The program's pipelined walk against the sequential walk it replaces: on random trees the
// two show and list exactly the same, whatever the number of workers and the block size; and
// what only the pipeline has: a stop drops what it found beyond it, and a search started in
// one of the window's turns runs on its own workers.
#include "fake_search_host.h"
#include "search/globals.h"
#include "search/pipeline.h"
#include "search/search.h"
#include "sequential_walk.h"
#include "tree_fixture.h"

#include <QtTest>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace Search = scanvale::Search;
namespace Globals = scanvale::Globals;
using scanvale::test::FakeSearchHost;
using scanvale::test::Paths;
using scanvale::test::SearchFolderSequentially;
using scanvale::test::TestTree;

namespace {

const std::vector<std::string> AllFiles = {"*"};

// Writes a random tree: odd names, text and binary heads, sizes around small block sizes,
// the phrase in any case and across block ends, links to files and folders, dangling links,
// links back up the tree, FIFOs, and entries nobody may read. Its shape follows the seed:
// 1 to 4 levels deep, and every fifth tree has some 150 subfolders at the top (more than the
// pipeline takes up ahead), each with a few files.
class RandomTree {
public:
    RandomTree(const TestTree& tree, unsigned seed)
        : tree_(tree), random_(seed), depth_(seed % 5 == 0 ? 1 : 1 + static_cast<int>(seed % 4)),
          wide_(seed % 5 == 0) {
        Fill("", 0);
    }

    // Drops the files' pages from the page cache, so that reading them waits for the disk.
    void DropPages() const {
        for (const std::string& path : files_) {
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd >= 0) {
                ::fdatasync(fd);
                ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
                ::close(fd);
            }
        }
    }

private:
    size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random_); }

    std::string Name() {
        static const std::vector<std::string> pieces = {
            "a", "B", "f", "z", ".", "-", " ", "\n", "\xFF", "\xC3\xA9", "\x01", "~", "10", "2"};
        std::string name;
        for (size_t n = 1 + Pick(4); n > 0; --n) {
            name += pieces[Pick(pieces.size())];
        }
        return name == "." || name == ".." ? name + "x" : name;
    }

    std::string Contents() {
        static const std::vector<std::string> heads = {
            "", "Plain", "\tTab", "\xEF\xBB\xBFmark", "\x01\x02bin", "caf\xC3\xA9", "\xC3", "x"};
        static const std::vector<std::string> phrases = {"needle", "NEEDLE", "NeEdLe", "need"};
        std::string text = heads[Pick(heads.size())];
        for (size_t n = Pick(4); n > 0; --n) {
            text += std::string(Pick(Pick(8) == 0 ? 200 : 12), 'a' + static_cast<char>(Pick(3)));
            text += phrases[Pick(phrases.size())];
        }
        return text;
    }

    void WriteFile(const std::string& path) { files_.push_back(tree_.Write(path, Contents())); }

    void Fill(const std::string& folder, int depth) {
        const std::string prefix = folder.empty() ? "" : folder + "/";
        const bool wide = wide_ && depth == 0;
        for (size_t n = wide ? 140 + Pick(20) : 2 + Pick(10); n > 0; --n) {
            const std::string path = prefix + Name() + (wide ? std::to_string(n) : "");
            struct stat st {};
            if (::lstat(tree_.Path(path).c_str(), &st) == 0) {
                continue; // the name is taken
            }
            const size_t kind = wide ? (Pick(4) == 0 ? 19 : 0) : Pick(20);
            if (kind < 7 && depth < depth_) {
                tree_.Folder(path);
                Fill(path, depth + 1);
                if (Pick(8) == 0) {
                    ::chmod(tree_.Path(path).c_str(), Pick(2) == 0 ? 0 : 0300);
                }
            } else if (kind == 7) {
                tree_.Link(Pick(2) == 0 && depth > 0 ? ".." : ".", path); // back up the tree
            } else if (kind == 8) {
                tree_.Link(Pick(2) == 0 ? "missing" : tree_.Root(), path);
            } else if (kind == 9) {
                tree_.Fifo(path);
            } else if (kind == 10) {
                WriteFile(path);
                ::chmod(tree_.Path(path).c_str(), 0);
            } else {
                WriteFile(path);
            }
        }
    }

    const TestTree& tree_;
    std::mt19937 random_;
    const int depth_;
    const bool wide_;
    std::vector<std::string> files_;
};

} // namespace

class TestPipelinedWalk : public QObject {
    Q_OBJECT

private slots:
    void init() { Globals::StopSearch = false; }

    void showsWhatTheSequentialWalkShows() {
        std::mt19937 random(20261207);
        const std::vector<size_t> blocks = {1, 2, 3, 5, 8, 64, Search::BlockSize};
        const bool inMemory = QFileInfo(QStringLiteral("/dev/shm")).isWritable();
        for (unsigned seed = 1; seed <= 24; ++seed) {
            // Every third tree in memory (reads there never wait), every fourth read from the
            // disk (reads wait, and more threads take up work meanwhile).
            const TestTree tree =
                seed % 3 == 0 && inMemory ? TestTree(QStringLiteral("/dev/shm")) : TestTree();
            const RandomTree made(tree, seed);
            for (unsigned workers = 1; workers <= 8; ++workers) {
                const auto mode = static_cast<int16_t>(random() % 2);
                const auto subfolders = static_cast<int16_t>(random() % 4 != 0);
                const size_t block = blocks[random() % blocks.size()];
                if (seed % 4 == 0 && workers % 4 == 1) {
                    made.DropPages();
                }
                FakeSearchHost sequential;
                SearchFolderSequentially(tree.Root(), AllFiles, "needle", mode, subfolders,
                                         sequential, block);
                FakeSearchHost pipelined;
                Search::SearchFolder(tree.Root(), AllFiles, "needle", mode, subfolders, pipelined,
                                     {.blockSize = block, .workers = workers});
                const QByteArray what = QStringLiteral("seed %1, %2 workers, mode %3, block %4")
                                            .arg(seed)
                                            .arg(workers)
                                            .arg(mode)
                                            .arg(block)
                                            .toUtf8();
                QVERIFY2(pipelined.progress == sequential.progress, what.constData());
                QVERIFY2(pipelined.results == sequential.results, what.constData());
            }
        }
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
        FakeSearchHost sequential;
        SearchFolderSequentially(tree.Root(), AllFiles, "needle", 0, 1, sequential);
        for (unsigned workers : {1u, 4u}) {
            FakeSearchHost pipelined;
            Search::SearchFolder(tree.Root(), AllFiles, "needle", 0, 1, pipelined,
                                 {.workers = workers});
            QCOMPARE(pipelined.results, sequential.results);
            QCOMPARE(pipelined.progress, sequential.progress);
        }
    }

    // The window stops the walk in a turn after the first result: nothing is shown after
    // that turn, though the workers had found more, and every worker ends.
    void stopDropsWhatWasFoundBeyondIt() {
        const TestTree tree;
        for (int i = 0; i < 200; ++i) {
            tree.Write("d" + std::to_string(1000 + i) + "/f.txt", "needle");
        }
        size_t resultsAtStop = 0;
        size_t progressAtStop = 0;
        FakeSearchHost host;
        host.onYield = [&] {
            if (!Globals::StopSearch && !host.results.empty()) {
                Globals::StopSearch = true;
                resultsAtStop = host.results.size();
                progressAtStop = host.progress.size();
            }
        };
        // A turn after every event shown.
        Search::SearchFolder(tree.Root(), AllFiles, "needle", 0, 1, host,
                             {.workers = 4, .yieldInterval = {}});
        QVERIFY(Globals::StopSearch);
        QCOMPARE(host.results.size(), resultsAtStop);
        QCOMPARE(host.progress.size(), progressAtStop);
        QVERIFY(host.results.size() < 200);
        QTRY_COMPARE(Search::Pipeline::RunningWorkers(), 0u);
    }

    // A search started in a turn of another (a second click on "Search!" while a stopped run
    // unwinds, a run from a dialog) shows its results there; the outer one then goes on with
    // its own, unchanged.
    void searchInsideAnotherRunsOnItsOwn() {
        const TestTree tree;
        for (int i = 0; i < 50; ++i) {
            tree.Write("outer/d" + std::to_string(100 + i) + "/f.txt", i % 3 == 0 ? "needle" : "x");
            tree.Write("inner/d" + std::to_string(100 + i) + "/f.txt", i % 5 == 0 ? "other" : "x");
        }
        FakeSearchHost inner;
        SearchFolderSequentially(tree.Path("inner"), AllFiles, "other", 0, 1, inner);
        FakeSearchHost outer;
        SearchFolderSequentially(tree.Path("outer"), AllFiles, "needle", 0, 1, outer);
        Paths progress = {outer.progress.front()};
        progress.insert(progress.end(), inner.progress.begin(), inner.progress.end());
        progress.insert(progress.end(), outer.progress.begin() + 1, outer.progress.end());
        Paths results = inner.results;
        results.insert(results.end(), outer.results.begin(), outer.results.end());

        FakeSearchHost host;
        bool nested = false;
        host.onYield = [&] {
            if (!nested) {
                nested = true;
                Search::SearchFolder(tree.Path("inner"), AllFiles, "other", 0, 1, host,
                                     {.workers = 2});
            }
        };
        // A turn after every event shown: the first comes once the outer folder is shown.
        Search::SearchFolder(tree.Path("outer"), AllFiles, "needle", 0, 1, host,
                             {.workers = 2, .yieldInterval = {}});
        QVERIFY(nested);
        QCOMPARE(host.results, results);
        QCOMPARE(host.progress, progress);
    }
};

QTEST_GUILESS_MAIN(TestPipelinedWalk)
#include "tst_pipelined_walk.moc"
