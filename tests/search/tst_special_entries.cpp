// Entries that are not plain files or folders: FIFOs, sockets, devices and links of every
// kind. None of them may hang, crash or be listed; links to files and folders count as what
// they point to.
#include "fake_search_host.h"
#include "search/globals.h"
#include "search/search.h"
#include "special_nodes.h"
#include "tree_fixture.h"

#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Paths = std::vector<std::string>;

Paths Walk(const std::string& folder, const std::string& phrase, int16_t mode = 0) {
    FakeSearchHost host;
    Search::SearchFolder(folder, {"*"}, phrase, mode, 1, host);
    return host.results;
}

} // namespace

class TestSpecialEntries : public QObject {
    Q_OBJECT

private slots:
    void init() { Globals::StopSearch = false; }

    // The odd entry sorts first; the plain file after it is the one result. Opening /dev/zero
    // or a FIFO as a file would never end, so a hang here fails by the test's timeout.
    void oddEntriesAreNeitherListedNorOpened_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("socket") << "socket";
        QTest::newRow("link to a FIFO") << "link to fifo";
        QTest::newRow("link to /dev/zero") << "link to zero";
        QTest::newRow("dangling link") << "dangling";
        QTest::newRow("link to itself") << "self";
        QTest::newRow("two links pointing at each other") << "pair";
        QTest::newRow("chain of links longer than the system follows") << "chain";
        QTest::newRow("character device, reading it never ends") << "char device";
        QTest::newRow("block device") << "block device";
    }
    void oddEntriesAreNeitherListedNorOpened() {
        QFETCH(QString, kind);
        const TestTree tree;
        const std::string odd = tree.Path("a-odd");
        if (kind == "fifo") {
            tree.Fifo("a-odd");
        } else if (kind == "socket") {
            QVERIFY(SpecialNodes::MakeSocket(odd));
        } else if (kind == "link to fifo") {
            tree.Fifo("pipe");
            tree.Link("pipe", "a-odd");
        } else if (kind == "link to zero") {
            tree.Link("/dev/zero", "a-odd");
        } else if (kind == "dangling") {
            tree.Link("missing", "a-odd");
        } else if (kind == "self") {
            tree.Link("a-odd", "a-odd");
        } else if (kind == "pair") {
            tree.Link("a-other", "a-odd");
            tree.Link("a-odd", "a-other");
        } else if (kind == "chain") {
            tree.Write("end", "needle");
            for (int i = 0; i < 60; ++i) {
                tree.Link("link" + std::to_string(i + 1), "link" + std::to_string(i));
            }
            tree.Link("link0", "a-odd");
            tree.Link("end", "link60");
        } else {
            const bool block = kind == "block device";
            // /dev/zero, and the first loop device.
            if (!SpecialNodes::MakeDevice(odd, block ? S_IFBLK : S_IFCHR, block ? 7 : 1,
                                          block ? 0 : 5)) {
                QSKIP("cannot make device nodes here (needs root and a permitting container)");
            }
        }
        const std::string plain = tree.Write("b.txt", "needle");
        QCOMPARE(Walk(tree.Root(), "needle"), Paths{plain});
        FakeSearchHost host;
        QVERIFY(!Search::SearchFile(odd, "needle", 0, host));
        QVERIFY(host.results.empty());
    }

    // What the folder list or a caller may hand over instead of a folder, or of a file: each
    // is searched without a result and without blocking, and only a folder is shown.
    void givenPathsThatAreNotWhatTheyShouldBe_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("empty path") << "empty";
        QTest::newRow("missing") << "missing";
        QTest::newRow("a file") << "file";
        QTest::newRow("a FIFO") << "fifo";
        QTest::newRow("a dangling link") << "dangling";
        QTest::newRow("a folder") << "folder";
    }
    void givenPathsThatAreNotWhatTheyShouldBe() {
        QFETCH(QString, kind);
        const TestTree tree;
        tree.Write("folder/f.txt", "needle");
        const std::string given = tree.Path("given");
        if (kind == "file") {
            tree.Write("given", "needle");
        } else if (kind == "fifo") {
            tree.Fifo("given");
        } else if (kind == "dangling") {
            tree.Link("missing", "given");
        } else if (kind == "folder") {
            tree.Folder("given");
        }
        const std::string path = kind == "empty" ? std::string() : given;
        for (int16_t subfolders : {int16_t{0}, int16_t{1}}) {
            FakeSearchHost host;
            Search::SearchFolder(path, {"*"}, "needle", 0, subfolders, host);
            QVERIFY(host.results.empty());
            QCOMPARE(host.progress, kind == "folder" ? Paths{"Searching " + path} : Paths{});
        }
        FakeSearchHost host;
        QCOMPARE(Search::SearchFile(path, "needle", 0, host), kind == "file");
        QVERIFY(!Search::SearchFile(tree.Path("folder"), "needle", 0, host));
        QVERIFY(!Search::SearchFile(tree.Path("folder/"), "needle", 0, host));
    }

    // Every link name of a folder is walked: the folder is not on the descent of its other
    // names, so its file is listed under each of them.
    void folderUnderTwoLinkNames() {
        const TestTree tree;
        tree.Write("real/f.txt", "needle");
        tree.Link("real", "link1");
        tree.Link(tree.Path("real"), "link2");
        QCOMPARE(
            Walk(tree.Root(), "needle"),
            (Paths{tree.Path("link1/f.txt"), tree.Path("link2/f.txt"), tree.Path("real/f.txt")}));
    }

    // Two folders linking to each other: each is entered once through the other and the
    // descent stops where it would come back.
    void foldersLinkingToEachOther() {
        const TestTree tree;
        tree.Write("a/f.txt", "needle");
        tree.Write("b/f.txt", "needle");
        tree.Link("../b", "a/to-b");
        tree.Link("../a", "b/to-a");
        tree.Link(".", "a/self");
        const Paths results = Walk(tree.Path("a"), "NEEDLE", 1);
        QCOMPARE(results, (Paths{tree.Path("a/f.txt"), tree.Path("a/to-b/f.txt")}));
    }
};

QTEST_GUILESS_MAIN(TestSpecialEntries)
#include "tst_special_entries.moc"
