// Entries that are not plain files or folders: FIFOs, sockets, devices and links of every
// kind. None of them may hang, crash or be listed; links to files and folders count as what
// they point to, and cycles of links end.
#include "engine_test.h"
#include "special_nodes.h"

#include <QFile>
#include <QtTest>
#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SpecialNodes = scanvale::test::SpecialNodes;

namespace {

Paths Walk(const std::string& folder, const std::string& phrase, Search::Comparison mode = Exact) {
    RecordingHost host;
    Search::SearchFolder(folder, {.phrase = phrase, .comparison = mode}, host);
    return host.results;
}

} // namespace

class TestSpecialEntries : public QObject {
    Q_OBJECT

private slots:
    void init() { Globals::StopSearch = false; }

    // The odd entry sorts first; the plain file after it is the one result, but for a link to
    // a file, which is searched as that file. Opening /dev/zero or a FIFO as a file would never
    // end, so a hang here fails by the test's timeout.
    void oddEntriesAreNeitherListedNorOpened_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("link to a plain file, listed as the file") << "link to file";
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
        if (kind == "link to file") {
            tree.Link("b.txt", "a-odd");
        } else if (kind == "fifo") {
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
        const bool file = kind == "link to file";
        QCOMPARE(Walk(tree.Root(), "needle"), Paths{file ? odd : plain});
        RecordingHost host;
        QCOMPARE(SearchFile(odd, "needle", Exact, host), file);
        QCOMPARE(host.results, file ? Paths{odd} : Paths{});
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
        for (const bool subfolders : {false, true}) {
            RecordingHost host;
            Search::SearchFolder(path, {.phrase = "needle", .includeSubfolders = subfolders}, host);
            QVERIFY(host.results.empty());
            QCOMPARE(host.progress, kind == "folder" ? Paths{"Searching " + path} : Paths{});
        }
        RecordingHost host;
        QCOMPARE(SearchFile(path, "needle", Exact, host), kind == "file");
        QVERIFY(!SearchFile(tree.Path("folder"), "needle", Exact, host));
        QVERIFY(!SearchFile(tree.Path("folder/"), "needle", Exact, host));
    }

    // Links to folders are walked as the folders they name, unless the folder is on the
    // descent already (the searched folder, a parent or any folder further up): a folder
    // under two names is walked under each, and every cycle of links ends. The tree holds
    // a/f.txt and b/f.txt; a link's target that starts with "/" is taken below the root.
    void folderLinks_data() {
        QTest::addColumn<QStringList>("links"); // "name -> target"
        QTest::addColumn<QString>("start");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("a folder under two link names, relative and absolute")
            << QStringList{"l1 -> a", "l2 -> /a"} << ""
            << QStringList{"a/f.txt", "b/f.txt", "l1/f.txt", "l2/f.txt"};
        QTest::newRow("folders linking to each other and to themselves")
            << QStringList{"a/to-b -> ../b", "b/to-a -> ../a", "a/self -> ."} << "a"
            << QStringList{"a/f.txt", "a/to-b/f.txt"};
        QTest::newRow("links to the parent and to a folder further up")
            << QStringList{"a/up -> ..", "a/inner/back -> /a"} << ""
            << QStringList{"a/f.txt", "b/f.txt"};
    }
    void folderLinks() {
        QFETCH(QStringList, links);
        QFETCH(QString, start);
        QFETCH(QStringList, expected);
        const TestTree tree;
        tree.Write("a/f.txt", "needle");
        tree.Write("b/f.txt", "needle");
        for (const QString& link : links) {
            const QStringList parts = link.split(QStringLiteral(" -> "));
            const std::string target = parts[1].toStdString();
            tree.Link(target[0] == '/' ? tree.Path(target.substr(1)) : target,
                      parts[0].toStdString());
        }
        QCOMPARE(Walk(tree.Path(start.toStdString()), "NEEDLE", Caseless), tree.Paths(expected));
    }

    // The kernel's views of itself, reached through links (or by descent: the same test of a
    // device that differs from the parent's), are shown but not entered: /proc alone would lead
    // back into the tree through every process's cwd link. A listed folder on one of them is
    // searched as asked.
    void kernelFileSystemsAreShownButNotEntered() {
        const TestTree tree;
        tree.Write("a/f.txt", "needle");
        std::vector<std::string> kernel{"/proc", "/sys", "/dev/pts"};
        QFile mounts(QStringLiteral("/proc/self/mounts"));
        QVERIFY(mounts.open(QIODevice::ReadOnly));
        if (mounts.readAll().contains(" /dev devtmpfs ")) {
            kernel.emplace_back("/dev"); // a tmpfs to fstatfs: told apart by the mount table
        }
        Paths shown{"Searching " + tree.Path("")};
        for (size_t i = 0; i < kernel.size(); ++i) {
            shown.push_back("Searching " + tree.Link(kernel[i], "k" + std::to_string(i)));
        }
        shown.push_back("Searching " + tree.Path("a"));
        std::sort(shown.begin() + 1, shown.end());
        RecordingHost host;
        Search::SearchFolder(tree.Path(""), {.phrase = "needle"}, host);
        QCOMPARE(host.progress, shown);
        QCOMPARE(host.results, tree.Paths({"a/f.txt"}));

        // Listed, /proc/self/fd is walked like any folder: the link to the tree's folder is
        // entered (other descriptors may come and go meanwhile).
        const int descriptor = ::open(tree.Path("").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        QVERIFY(descriptor >= 0);
        RecordingHost listed;
        Search::SearchFolder("/proc/self/fd", {.phrase = "needle"}, listed);
        ::close(descriptor);
        const std::string found = "/proc/self/fd/" + std::to_string(descriptor) + "/a/f.txt";
        QVERIFY(std::find(listed.results.begin(), listed.results.end(), found) !=
                listed.results.end());
    }
};

QTEST_GUILESS_MAIN(TestSpecialEntries)
#include "tst_special_entries.moc"
