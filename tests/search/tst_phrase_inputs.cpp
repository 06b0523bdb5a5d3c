// Phrases at the edges of what the phrase box can hand over: empty, 10,000 characters long,
// and bytes that are not UTF-8 (pasted from elsewhere), in both comparison modes and with
// blocks cut at every position.
#include "engine_test.h"

#include <QtTest>
#include <random>

namespace {

// Block sizes that cut a short text at every position, and the program's own.
const std::vector<size_t> CuttingBlocks = {1, 2, 3, 4, 5, 6, 7, Search::BlockSize};

// A reproducible phrase of `characters` letters, some of them two- and three-byte ones.
std::string LongPhrase(size_t characters) {
    static const std::vector<std::string> letters = {
        "a", "B", "c", "D", "e", "\xC3\xA4", "\xC3\x9F", "\xCE\xA3", "\xE2\x82\xAC"};
    std::mt19937 random(12345);
    std::string phrase;
    for (size_t i = 0; i < characters; ++i) {
        phrase += letters[random() % letters.size()];
    }
    return phrase;
}

// Upper-case ASCII letters and the Greek sigma's small form, for a caseless twin.
std::string OtherCase(std::string phrase) {
    for (char& c : phrase) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        } else if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return phrase;
}

} // namespace

class TestPhraseInputs : public QObject {
    Q_OBJECT

private slots:
    void init() { Globals::StopSearch = false; }

    // The empty phrase occurs in every text of at least one byte: each folder lists its first
    // text file that is not empty, never an empty or a binary one.
    void emptyPhraseListsTheFirstTextFileOfEachFolder() {
        const TestTree tree;
        tree.Write("a-empty.txt", "");
        tree.Write("b-binary", std::string("\x01\x02\x03\x04\x05 text", 10));
        const std::string first = tree.Write("c-one-byte.txt", "x");
        tree.Write("d.txt", "more text");
        const std::string sub = tree.Write("sub/\xFF-text", "\xC3\xA4");
        for (const Search::Comparison mode : {Exact, Caseless}) {
            for (size_t block : {size_t{1}, Search::BlockSize}) {
                RecordingHost host;
                Search::SearchFolder(tree.Root(), {.phrase = "", .comparison = mode}, host,
                                     {.blockSize = block});
                QCOMPARE(host.results, (Paths{first, sub}));
            }
        }
    }

    void longPhrase_data() {
        QTest::addColumn<Search::Comparison>("mode");
        QTest::addColumn<bool>("otherCase");
        QTest::addColumn<bool>("lastCharacterDiffers");
        QTest::addColumn<bool>("found");
        QTest::newRow("exact") << Exact << false << false << true;
        QTest::newRow("exact, other case") << Exact << true << false << false;
        QTest::newRow("exact, last character differs") << Exact << false << true << false;
        QTest::newRow("any case") << Caseless << false << false << true;
        QTest::newRow("any case, other case") << Caseless << true << false << true;
        QTest::newRow("any case, last character differs") << Caseless << true << true << false;
    }
    void longPhrase() {
        QFETCH(Search::Comparison, mode);
        QFETCH(bool, otherCase);
        QFETCH(bool, lastCharacterDiffers);
        QFETCH(bool, found);
        const std::string phrase = LongPhrase(10000);
        std::string inFile = otherCase ? OtherCase(phrase) : phrase;
        if (lastCharacterDiffers) {
            inFile.back() = inFile.back() == 'x' ? 'y' : 'x';
        }
        const TestTree tree;
        // Starts where no block size below begins a block, so the phrase straddles them.
        const std::string path = tree.Write("f.txt", "Some text first: " + inFile + " and after");
        const std::string shortFile = tree.Write("short.txt", "Text: " + phrase.substr(0, 9000));
        for (size_t block : {size_t{1000}, size_t{4096}, size_t{25000}, Search::BlockSize}) {
            RecordingHost host;
            QCOMPARE(SearchFile(path, phrase, mode, host, block), found);
            // The file holds only the phrase's start: never found, however it is cut.
            QVERIFY(!SearchFile(shortFile, phrase, mode, host, block));
        }
    }

    void bytesThatAreNotUtf8_data() {
        QTest::addColumn<QByteArray>("phrase");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("exact");
        QTest::addColumn<bool>("anyCase");
        QTest::newRow("invalid bytes FF FE")
            << QByteArray("\xFF\xFE") << QByteArray("Data: \xFF\xFE end") << true << true;
        QTest::newRow("latin-1 letter")
            << QByteArray("caf\xE9") << QByteArray("Le caf\xE9 noir") << true << true;
        QTest::newRow("latin-1 letter, other case")
            << QByteArray("CAF\xE9") << QByteArray("Le caf\xE9 noir") << false << true;
        QTest::newRow("latin-1 byte is not the UTF-8 letter")
            << QByteArray("caf\xE9") << QByteArray("Le caf\xC3\xA9 noir") << false << false;
        QTest::newRow("lone lead byte inside a UTF-8 letter") << QByteArray("\xC3")
                                                              << QByteArray("Sch\xC3\xA4"
                                                                            "fer")
                                                              << true << false;
        QTest::newRow("lone lead byte, alone in the text")
            << QByteArray("F\xC3") << QByteArray("Text: f\xC3 end") << false << true;
        QTest::newRow("NUL byte inside the phrase")
            << QByteArray("a\0b", 3) << QByteArray("Text: a\0b", 9) << true << true;
        QTest::newRow("overlong encoding")
            << QByteArray("\xC0\xAF") << QByteArray("Path \xC0\xAF x") << true << true;
    }
    void bytesThatAreNotUtf8() {
        QFETCH(QByteArray, phrase);
        QFETCH(QByteArray, text);
        QFETCH(bool, exact);
        QFETCH(bool, anyCase);
        const TestTree tree;
        const std::string path = tree.Write("f.txt", text.toStdString());
        for (size_t block : CuttingBlocks) {
            for (const Search::Comparison mode : {Exact, Caseless}) {
                RecordingHost host;
                const bool expected = mode == Exact ? exact : anyCase;
                if (SearchFile(path, phrase.toStdString(), mode, host, block) != expected) {
                    QFAIL(qPrintable(QStringLiteral("mode %1, block %2")
                                         .arg(static_cast<int>(mode))
                                         .arg(block)));
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestPhraseInputs)
#include "tst_phrase_inputs.moc"
