// The examination of one file: blocks, yields, stops, and files that are not plain text.
#include "engine_test.h"

#include <QtTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t Block = Search::BlockSize;

// Printable filler that never holds the phrases used below.
std::string Filler(size_t n) {
    return std::string(n, '.');
}

} // namespace

class TestSearchFile : public QObject {
    Q_OBJECT

private slots:
    void init() { Globals::StopSearch = false; }

    void searchesWholeBlocksAndTheRest_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("found");
        QTest::addColumn<int>("yields");
        const std::string f = Filler(Block);
        auto bytes = [](const std::string& s) { return QByteArray::fromStdString(s); };
        QTest::newRow("exactly one block, phrase at its end")
            << bytes(Filler(Block - 6) + "needle") << true << 1;
        QTest::newRow("one byte more, phrase in the last byte")
            << bytes(Filler(Block - 5) + "needl" + "e") << true << 1;
        QTest::newRow("one byte more, no phrase") << bytes(f + "x") << false << 1;
        QTest::newRow("starts three bytes before the block end")
            << bytes(Filler(Block - 3) + "needle" + Filler(10)) << true << 1;
        QTest::newRow("small file, no yield") << bytes("Hello needle") << true << 0;
        QTest::newRow("three whole blocks, phrase in the last")
            << bytes(f + f + Filler(Block - 6) + "needle") << true << 3;
        QTest::newRow("binary file is never searched") << bytes("\x01needle") << false << 0;
        QTest::newRow("empty file") << QByteArray() << false << 0;
    }
    void searchesWholeBlocksAndTheRest() {
        QFETCH(QByteArray, content);
        QFETCH(bool, found);
        QFETCH(int, yields);
        const TestTree tree;
        const std::string path = tree.Write("f.txt", content.toStdString());
        for (const Search::Comparison mode : {Exact, Caseless}) {
            RecordingHost host;
            QCOMPARE(SearchFile(path, "needle", mode, host), found);
            QCOMPARE(host.results, found ? Paths{path} : Paths{});
            QCOMPARE(host.yields, yields);
        }
    }

    void caseOnlyMattersInExactMode_data() {
        QTest::addColumn<QByteArray>("phrase");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("ascii") << QByteArray("INVOICE") << QByteArray("one invoice");
        QTest::newRow("umlaut") << QByteArray("\xC3\x84PFEL") << QByteArray("Rote \xC3\xA4pfel");
        QTest::newRow("greek") << QByteArray("\xCE\xA3\xCE\x9F\xCE\xA6\xCE\x8A\xCE\x91")
                               << QByteArray("H \xCF\x83\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1");
    }
    void caseOnlyMattersInExactMode() {
        QFETCH(QByteArray, phrase);
        QFETCH(QByteArray, content);
        const TestTree tree;
        const std::string path = tree.Write("f.txt", content.toStdString());
        RecordingHost host;
        QVERIFY(!SearchFile(path, phrase.toStdString(), Exact, host));
        QVERIFY(SearchFile(path, phrase.toStdString(), Caseless, host));
    }

    void stopsBeforeTheNextBlock() {
        const TestTree tree;
        const std::string path = tree.Write("f.txt", Filler(2 * Block) + "needle");
        RecordingHost host;
        host.onTurn = [&] { Globals::StopSearch = host.yields == 2; };
        QVERIFY(!SearchFile(path, "needle", Exact, host));
        QCOMPARE(host.yields, 2);
        QVERIFY(host.results.empty());
    }

    // Blocks wholly inside a hole of a sparse file are not read but taken as the zeros they
    // hold; blocks with data in them are read. Either way every byte counts as it reads.
    void sparseFileReadsAsItsBytes_data() {
        QTest::addColumn<QByteArray>("phrase");
        QTest::addColumn<bool>("found");
        QTest::newRow("phrase in data after a hole") << QByteArray("needle") << true;
        QTest::newRow("data running into a hole") << QByteArray("first\0\0\0", 8) << true;
        QTest::newRow("hole running into data") << QByteArray("\0\0\0island", 9) << true;
        QTest::newRow("zeros spanning whole hole blocks")
            << QByteArray(static_cast<qsizetype>(2 * Block), '\0') << true;
        QTest::newRow("phrase nowhere") << QByteArray("absent") << false;
    }
    void sparseFileReadsAsItsBytes() {
        QFETCH(QByteArray, phrase);
        QFETCH(bool, found);
        const TestTree tree;
        // Data at both ends of the first block and an island with the phrase at the start of
        // block 40, so that whole hole blocks meet blocks with data; holes elsewhere.
        const std::string path = tree.Write("sparse.txt", "Text " + Filler(Block - 10) + "first");
        const off_t island = 40 * static_cast<off_t>(Block);
        const off_t length = 80 * static_cast<off_t>(Block) + 7;
        {
            const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
            QVERIFY(fd >= 0);
            const char text[] = "island of needle";
            const bool written =
                ::ftruncate(fd, length) == 0 && ::pwrite(fd, text, 16, island) == 16;
            struct stat st {};
            const bool sparse = ::fstat(fd, &st) == 0 && st.st_blocks * 512 < length;
            ::close(fd);
            QVERIFY(written);
            if (!sparse) {
                QSKIP("the file system keeps no holes");
            }
        }
        const uint64_t readBefore = Search::Statistics.bytesRead;
        RecordingHost host;
        QCOMPARE(SearchFile(path, phrase.toStdString(), Exact, host), found);
        QCOMPARE(host.results.size(), found ? 1u : 0u);
        if (!found) {
            QCOMPARE(host.yields, static_cast<int>(length / static_cast<off_t>(Block)));
            // The holes were not read: at most the two blocks with data and the sniff.
            QVERIFY(Search::Statistics.bytesRead - readBefore <= 2 * Block + 5);
        }
    }
};

QTEST_GUILESS_MAIN(TestSearchFile)
#include "tst_search_file.moc"
