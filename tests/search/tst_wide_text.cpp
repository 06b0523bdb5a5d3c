// Files in UTF-16 and UTF-32, known by their byte-order mark: which of them are searched, and
// that they are searched as the text they encode, in both comparison modes, wherever the blocks
// cut them (inside code units and surrogate pairs too).
#include "engine_test.h"

#include <QtTest>

namespace {

struct Encoding {
    const char* name;
    QByteArray mark;
    int unitBytes;
    bool bigEndian;
};

const Encoding Encodings[] = {
    {"utf-16le", QByteArray("\xFF\xFE", 2), 2, false},
    {"utf-16be", QByteArray("\xFE\xFF", 2), 2, true},
    {"utf-32le", QByteArray("\xFF\xFE\0\0", 4), 4, false},
    {"utf-32be", QByteArray("\0\0\xFE\xFF", 4), 4, true},
};

// The file: the mark, the text's characters in the encoding and byte order, then `after`. A
// lone surrogate of the text is written as it stands, in UTF-32 as a unit of its value.
QByteArray Encode(const Encoding& encoding, const QString& text, const QByteArray& after) {
    QByteArray bytes = encoding.mark;
    auto put = [&](char32_t unit) {
        for (int i = 0; i < encoding.unitBytes; ++i) {
            const int shift = 8 * (encoding.bigEndian ? encoding.unitBytes - 1 - i : i);
            bytes += static_cast<char>((unit >> shift) & 0xFF);
        }
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t unit = text[i].unicode();
        if (encoding.unitBytes == 4 && text[i].isHighSurrogate() && i + 1 < text.size() &&
            text[i + 1].isLowSurrogate()) {
            unit = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        put(unit);
    }
    return bytes + after;
}

struct Case {
    const char* name;
    QString text;
    QByteArray after;  // raw bytes after the encoded text
    QByteArray phrase; // UTF-8
    bool exact;        // found with "Match Case"
    bool caseless;     // found without
};

const QChar HighSurrogate(0xD800);
const QChar LowSurrogate(0xDC00);

} // namespace

class TestWideText : public QObject {
    Q_OBJECT

private slots:
    void init() { Globals::StopSearch = false; }

    void searchesMarkedFilesAsTheirText_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("phrase");
        QTest::addColumn<bool>("exact");
        QTest::addColumn<bool>("caseless");
        const QString note = QStringLiteral("A note: the needle is here");
        const QString lone = QStringLiteral("Hello") + HighSurrogate + QStringLiteral("needle");
        const Case cases[] = {
            {"ascii", note, {}, "needle", true, true},
            {"other case", note, {}, "NEEDLE", false, true},
            {"folded letters",
             QStringLiteral("Gr\u00FC\u00DFe, \u00C4PFEL"),
             {},
             "\xC3\xA4pfel",
             false,
             true},
            {"surrogate pairs folded",
             QStringLiteral("Runes \U00010400\U00010401 and \U0001F600"),
             {},
             "\xF0\x90\x90\xA8\xF0\x90\x90\xA9",
             false,
             true},
            {"surrogate pairs exact",
             QStringLiteral("Runes \U00010400\U00010401 and \U0001F600"),
             {},
             "\xF0\x90\x90\x81 and \xF0\x9F\x98\x80",
             true,
             true},
            {"wide characters grow in UTF-8",
             QString(300, QChar(0x8A9E)) + QStringLiteral("needle"),
             {},
             "\xE8\xAA\x9E"
             "needle",
             true,
             true},
            {"absent", QStringLiteral("A note without it"), {}, "needle", false, false},
            {"the mark is not searched",
             QStringLiteral("Hello needle"),
             {},
             "\xEF\xBB\xBFHello",
             false,
             false},
            {"line break and tab first", QStringLiteral("\r\n\tneedle"), {}, "needle", true, true},
            {"control character first", QStringLiteral("\x01needle"), {}, "needle", false, false},
            {"control character among the first five",
             QStringLiteral("Abcd\x01needle"),
             {},
             "needle",
             false,
             false},
            {"control character after the first five",
             QStringLiteral("Abcde\x01needle"),
             {},
             "needle",
             true,
             true},
            {"NUL first", QString(QChar(0)) + QStringLiteral("needle"), {}, "needle", false, false},
            {"DEL first", QStringLiteral("\x7Fneedle"), {}, "needle", false, false},
            {"mark alone", QString(), {}, "", false, false},
            {"mark and one character", QStringLiteral("a"), {}, "", true, true},
            {"lone surrogate first",
             HighSurrogate + QStringLiteral("needle"),
             {},
             "",
             false,
             false},
            {"lone high surrogate, then the phrase", lone, {}, "needle", true, true},
            {"lone low surrogate, then the phrase",
             QStringLiteral("Hello") + LowSurrogate + QStringLiteral("needle"),
             {},
             "NeedLe",
             false,
             true},
            {"lone surrogate reads as U+FFFD", lone, {}, "o\xEF\xBF\xBDn", true, true},
            {"lone surrogate is not dropped", lone, {}, "lone", false, false},
            {"high surrogate at the end",
             QStringLiteral("Hello needle") + HighSurrogate,
             {},
             "needle\xEF\xBF\xBD",
             true,
             true},
            {"odd trailing byte", QStringLiteral("Hello needle"), "\x41", "needle", true, true},
            {"odd trailing byte reads as U+FFFD", QStringLiteral("Hello needle"), "\x41",
             "le\xEF\xBF\xBD", true, true},
            {"unit cut off among the first characters", QStringLiteral("Hi"), "\x41", "", false,
             false},
        };
        for (const Encoding& encoding : Encodings) {
            for (const Case& c : cases) {
                QTest::addRow("%s: %s", encoding.name, c.name)
                    << Encode(encoding, c.text, c.after) << c.phrase << c.exact << c.caseless;
            }
            // Blocks of the program's size: the phrase across the first block's end, after
            // wide characters that make its text half as long again in UTF-8 as in UTF-16.
            const qsizetype before =
                (Search::BlockSize - encoding.mark.size()) / encoding.unitBytes - 3;
            QTest::addRow("%s: phrase across a block of the program's size", encoding.name)
                << Encode(encoding,
                          QString(before, QChar(0x8A9E)) + QStringLiteral("needle") +
                              QString(100, QChar(0x8A9E)),
                          {})
                << QByteArray("NEEDLE") << false << true;
        }
    }
    void searchesMarkedFilesAsTheirText() {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, phrase);
        QFETCH(bool, exact);
        QFETCH(bool, caseless);
        const TestTree tree;
        const std::string path = tree.Write("f.txt", content.toStdString());
        std::vector<size_t> blockSizes;
        for (size_t blockSize = 1; blockSize <= 40; ++blockSize) {
            blockSizes.push_back(blockSize);
        }
        blockSizes.push_back(Search::BlockSize);
        for (const size_t blockSize : blockSizes) {
            if (static_cast<size_t>(content.size()) / blockSize > 4096) {
                continue; // thousands of tiny blocks add time, not cases
            }
            for (const Search::Comparison mode : {Exact, Caseless}) {
                RecordingHost host;
                const bool found = SearchFile(path, phrase.toStdString(), mode, host, blockSize);
                QVERIFY2(found == (mode == Exact ? exact : caseless),
                         qPrintable(QStringLiteral("block %1, mode %2")
                                        .arg(blockSize)
                                        .arg(static_cast<int>(mode))));
                QCOMPARE(host.results.size(), found ? 1u : 0u);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestWideText)
#include "tst_wide_text.moc"
