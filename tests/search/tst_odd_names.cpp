// Names as the file system gives them: any bytes but "/" and NUL, up to 255 bytes, in paths
// of any length. Results and progress carry the exact bytes; nothing is decoded or cut.
#include "engine_test.h"

#include <QtTest>
#include <climits>

namespace {

// Makes folders below the root so that the file f.txt in the deepest has a full path of
// exactly `length` bytes; returns that path. Names are at most 255 bytes.
std::string WriteAtPathLength(const TestTree& tree, size_t length, std::string_view bytes) {
    const size_t fileName = std::string_view("/f.txt").size();
    size_t pathLength = tree.Root().size();
    std::vector<std::string> folders;
    while (pathLength + fileName < length) {
        // Leave at least two bytes for the next level ("/" and one letter).
        const size_t room = length - fileName - pathLength - 1;
        size_t name = std::min<size_t>(room, 255);
        if (room > 255 && room - 255 < 2) {
            name = 200;
        }
        folders.emplace_back(name, static_cast<char>('a' + folders.size() % 26));
        pathLength += 1 + name;
    }
    return tree.WriteBelow(folders, bytes);
}

} // namespace

class TestOddNames : public QObject {
    Q_OBJECT

private slots:
    void init() { Globals::StopSearch = false; }

    void namesReachTheResultsByteExact_data() {
        QTest::addColumn<QByteArray>("folder");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("no dot") << QByteArray("sub") << QByteArray("README");
        QTest::newRow("several dots") << QByteArray("sub") << QByteArray("report.final.TXT");
        QTest::newRow("hidden file and folder") << QByteArray(".sub") << QByteArray(".profile");
        QTest::newRow("only dots") << QByteArray("...") << QByteArray("....");
        QTest::newRow("line break in the name") << QByteArray("sub") << QByteArray("a\nb.txt");
        QTest::newRow("line break in the folder") << QByteArray("s\nub") << QByteArray("f.txt");
        QTest::newRow("carriage return and tab") << QByteArray("sub") << QByteArray("a\r\tb");
        QTest::newRow("spaces around the name") << QByteArray(" sub ") << QByteArray(" f ");
        QTest::newRow("latin-1 byte, not UTF-8") << QByteArray("sub") << QByteArray("caf\xE9");
        QTest::newRow("invalid bytes FF FE") << QByteArray("\xFF\xFE") << QByteArray("\xFE\xFF");
        QTest::newRow("UTF-8 cut off") << QByteArray("sub") << QByteArray("caf\xC3");
        QTest::newRow("overlong slash") << QByteArray("sub") << QByteArray("\xC0\xAF");
        QTest::newRow("well-formed UTF-8") << QByteArray("Ordner") << QByteArray("\xC3\xA4.txt");
        QTest::newRow("255-byte name") << QByteArray("sub") << QByteArray(255, 'n');
        QTest::newRow("255-byte folder") << QByteArray(255, 'd') << QByteArray("f.txt");
        QTest::newRow("255 bytes of three-byte characters")
            << QByteArray("sub") << QByteArray("\xE2\x82\xAC").repeated(85);
        QTest::newRow("characters special elsewhere")
            << QByteArray("a\\b") << QByteArray("*?<>|:\"'$`");
    }
    void namesReachTheResultsByteExact() {
        QFETCH(QByteArray, folder);
        QFETCH(QByteArray, file);
        const TestTree tree;
        const std::string relative = folder.toStdString() + "/" + file.toStdString();
        const std::string path = tree.Write(relative, "needle");
        QVERIFY(::access(path.c_str(), R_OK) == 0);
        RecordingHost host;
        Search::SearchFolder(tree.Root(), {.phrase = "needle", .comparison = Caseless}, host);
        QCOMPARE(host.results, Paths{path});
        QCOMPARE(host.progress.back(), "Searching " + tree.Path(folder.toStdString()));
        RecordingHost direct;
        QVERIFY(SearchFile(path, "needle", Exact, direct));
        QCOMPARE(direct.results, Paths{path});
    }

    // Around the length a path may have in one system call, and far beyond it.
    void pathsOfAnyLength_data() {
        QTest::addColumn<int>("length");
        QTest::newRow("one byte under the limit") << PATH_MAX - 1;
        QTest::newRow("at the limit") << PATH_MAX;
        QTest::newRow("one byte over the limit") << PATH_MAX + 1;
        QTest::newRow("two and a half times the limit") << PATH_MAX * 5 / 2;
    }
    void pathsOfAnyLength() {
        QFETCH(int, length);
        const TestTree tree;
        const std::string path =
            WriteAtPathLength(tree, static_cast<size_t>(length), "Long way down: needle");
        QCOMPARE(path.size(), static_cast<size_t>(length));
        for (const Search::Comparison mode : {Exact, Caseless}) {
            RecordingHost host;
            Search::SearchFolder(tree.Root(), {.phrase = "needle", .comparison = mode}, host);
            QCOMPARE(host.results, Paths{path});
            QCOMPARE(host.progress.back(), "Searching " + path.substr(0, path.rfind('/')));
            RecordingHost direct;
            QVERIFY(SearchFile(path, "needle", mode, direct));
            QCOMPARE(direct.results, Paths{path});
            // The deepest folder given as the folder to search, with a trailing separator.
            RecordingHost listed;
            Search::SearchFolder(path.substr(0, path.rfind('/') + 1),
                                 {.phrase = "needle", .comparison = mode}, listed);
            QCOMPARE(listed.results, Paths{path});
        }
    }
};

QTEST_GUILESS_MAIN(TestOddNames)
#include "tst_odd_names.moc"
