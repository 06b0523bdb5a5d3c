// The tree changes under a running search: entries deleted, renamed, truncated or replaced
// between the listing of a folder and their examination by the program's walk, and files that
// grow or shrink while they are read. The changes are made in the window's turns, where its
// event handlers (and, for real, other programs) run: at a known point of a worker's walk
// (SearchWhileChanging), and at known blocks of a file examined on the test's thread.
#include "changing_walk.h"
#include "engine_test.h"

#include <QtTest>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Changes the tree a.txt, b.txt (phrase), c.txt (phrase), sub1/f.txt, sub2/f.txt (phrase).
void Change(const std::string& change, const TestTree& tree) {
    const std::string b = tree.Path("b.txt");
    const std::string sub1 = tree.Path("sub1");
    if (change == "delete file") {
        fs::remove(b);
    } else if (change == "rename file") {
        fs::rename(b, tree.Path("z.txt"));
    } else if (change == "truncate file") {
        QVERIFY(::truncate(b.c_str(), 0) == 0);
    } else if (change == "rewrite file") {
        tree.Write("b.txt", "nothing");
    } else if (change == "file to fifo") {
        fs::remove(b);
        tree.Fifo("b.txt");
    } else if (change == "file to folder") {
        fs::remove(b);
        tree.Write("b.txt/needle.txt", "needle");
    } else if (change == "file to link to fifo") {
        fs::remove(b);
        tree.Fifo("pipe");
        tree.Link("pipe", "b.txt");
    } else if (change == "delete subfolder") {
        fs::remove_all(sub1);
    } else if (change == "rename subfolder") {
        fs::rename(sub1, tree.Path("sub3"));
    } else if (change == "subfolder to file") {
        fs::remove_all(sub1);
        tree.Write("sub1", "needle");
    } else if (change == "subfolder to link up") {
        fs::remove_all(sub1);
        tree.Link(".", "sub1");
    } else if (change == "delete everything") {
        for (const auto& entry : fs::directory_iterator(tree.Root())) {
            fs::remove_all(entry.path());
        }
    }
}

} // namespace

class TestTreeChanges : public QObject {
    Q_OBJECT

private slots:
    void init() { Globals::StopSearch = false; }

    void changesBetweenListingAndReading_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("expected");
        const QStringList withoutB{"c.txt", "sub1/f.txt", "sub2/f.txt"};
        const QStringList withoutSub1{"b.txt", "sub2/f.txt"};
        QTest::newRow("file deleted") << "delete file" << withoutB;
        QTest::newRow("file renamed") << "rename file" << withoutB;
        QTest::newRow("file truncated to nothing") << "truncate file" << withoutB;
        QTest::newRow("file rewritten without the phrase") << "rewrite file" << withoutB;
        QTest::newRow("file replaced by a FIFO") << "file to fifo" << withoutB;
        QTest::newRow("file replaced by a folder") << "file to folder" << withoutB;
        QTest::newRow("file replaced by a link to a FIFO") << "file to link to fifo" << withoutB;
        QTest::newRow("subfolder deleted") << "delete subfolder" << withoutSub1;
        QTest::newRow("subfolder renamed") << "rename subfolder" << withoutSub1;
        QTest::newRow("subfolder replaced by a file") << "subfolder to file" << withoutSub1;
        QTest::newRow("subfolder replaced by a link to its parent")
            << "subfolder to link up" << withoutSub1;
        QTest::newRow("the searched folder emptied") << "delete everything" << QStringList{};
    }
    void changesBetweenListingAndReading() {
        QFETCH(QString, change);
        QFETCH(QStringList, expected);
        const TestTree tree;
        tree.Write("a.txt", "nothing");
        tree.Write("b.txt", "needle");
        tree.Write("c.txt", "needle");
        tree.Write("sub1/f.txt", "needle");
        tree.Write("sub2/f.txt", "needle");
        RecordingHost host;
        scanvale::test::SearchWhileChanging(
            tree, [&] { Change(change.toStdString(), tree); }, host);
        QCOMPARE(host.results, tree.Paths(expected));
    }

    // A file of eight blocks changes before its third block is read. The examination reads
    // the file it opened, never past the length it had then, and ends where the file ends.
    void fileChangesDuringItsScan_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("phraseBlock");
        QTest::addColumn<bool>("found");
        QTest::newRow("grows, phrase in the last block it had") << "grow" << 7 << true;
        QTest::newRow("grows, phrase only in what was appended") << "grow" << -1 << false;
        QTest::newRow("shrinks before the phrase") << "shrink" << 6 << false;
        QTest::newRow("shrinks, phrase in what remains") << "shrink" << 1 << true;
        QTest::newRow("replaced by rename, the opened file is read on") << "replace" << 6 << true;
    }
    void fileChangesDuringItsScan() {
        QFETCH(QString, change);
        QFETCH(int, phraseBlock);
        QFETCH(bool, found);
        constexpr size_t Block = 1024;
        constexpr int Blocks = 8;
        std::string content(Blocks * Block, '.');
        if (phraseBlock >= 0) {
            content.replace(static_cast<size_t>(phraseBlock) * Block + 100, 6, "needle");
        }
        const TestTree tree;
        const std::string path = tree.Write("f.txt", content);
        for (const Search::Comparison mode : {Exact, Caseless}) {
            tree.Write("f.txt", content);
            RecordingHost host;
            host.onTurn = [&] {
                if (change == "grow") {
                    // Appends a block holding the phrase at every yield, for ever.
                    const std::string more = std::string(Block - 6, '.') + "needle";
                    FILE* out = std::fopen(path.c_str(), "ab");
                    std::fwrite(more.data(), 1, more.size(), out);
                    std::fclose(out);
                } else if (host.yields == 3 && change == "shrink") {
                    QVERIFY(::truncate(path.c_str(), 2 * Block) == 0);
                } else if (host.yields == 3 && change == "replace") {
                    tree.Write("new.txt", std::string(Blocks * Block, '-'));
                    fs::rename(tree.Path("new.txt"), path);
                }
            };
            QCOMPARE(SearchFile(path, "needle", mode, host, Block), found);
            QCOMPARE(host.results, found ? Paths{path} : Paths{});
            QVERIFY(host.yields <= Blocks);
        }
    }
};

QTEST_GUILESS_MAIN(TestTreeChanges)
#include "tst_tree_changes.moc"
