// The matcher against a naive whole-text search, directly and through files read in blocks,
// with each literal-scan kernel this machine runs.
#include "engine_test.h"
#include "kernel_rows.h"

#include <QtTest>
#include <random>
#include <unicode/uchar.h>

using scanvale::test::AddKernelRows;
using scanvale::test::UseKernelOfRow;

namespace {

// Unit sequence of a text as the case-insensitive comparison sees it, written independently of
// the engine: well-formed characters after the Unicode table of well-formed byte sequences,
// folded by ICU; any other byte stands for itself.
std::vector<int32_t> NaiveUnits(std::string_view text, bool fold) {
    std::vector<int32_t> units;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    auto in = [&](size_t i, int low, int high) { return i < n && p[i] >= low && p[i] <= high; };
    for (size_t i = 0; i < n;) {
        const int b = p[i];
        size_t length = 0;
        if (b <= 0x7F) {
            length = 1;
        } else if (b >= 0xC2 && b <= 0xDF) {
            length = in(i + 1, 0x80, 0xBF) ? 2 : 0;
        } else if (b >= 0xE0 && b <= 0xEF) {
            const int low = b == 0xE0 ? 0xA0 : 0x80;
            const int high = b == 0xED ? 0x9F : 0xBF;
            length = in(i + 1, low, high) && in(i + 2, 0x80, 0xBF) ? 3 : 0;
        } else if (b >= 0xF0 && b <= 0xF4) {
            const int low = b == 0xF0 ? 0x90 : 0x80;
            const int high = b == 0xF4 ? 0x8F : 0xBF;
            length = in(i + 1, low, high) && in(i + 2, 0x80, 0xBF) && in(i + 3, 0x80, 0xBF) ? 4 : 0;
        }
        if (length == 0) {
            units.push_back(0x110000 + b);
            ++i;
            continue;
        }
        int32_t cp = length == 1 ? b : b & (0xFF >> (length + 1));
        for (size_t k = 1; k < length; ++k) {
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        units.push_back(fold ? u_foldCase(cp, U_FOLD_CASE_DEFAULT) : cp);
        i += length;
    }
    return units;
}

bool NaiveFind(std::string_view text, std::string_view phrase, Search::Comparison mode) {
    if (phrase.empty()) {
        return !text.empty();
    }
    if (mode == Exact) {
        for (size_t i = 0; i + phrase.size() <= text.size(); ++i) {
            if (text.substr(i, phrase.size()) == phrase) {
                return true;
            }
        }
        return false;
    }
    const auto t = NaiveUnits(text, true);
    const auto p = NaiveUnits(phrase, true);
    for (size_t i = 0; i + p.size() <= t.size(); ++i) {
        if (std::equal(p.begin(), p.end(), t.begin() + static_cast<ptrdiff_t>(i))) {
            return true;
        }
    }
    return false;
}

// Pieces that random texts are made of: letters in both cases, characters whose folding
// changes their length in bytes (KELVIN SIGN, LONG S), Greek with final sigma, and bytes
// that are not well-formed UTF-8 (a cut-off euro sign, a lone continuation, 0xFF).
const std::vector<std::string> Pieces = {"a",        "A",        "b",        "B",
                                         "k",        "K",        "s",        "S",
                                         " ",        "\xC3\xA4", "\xC3\x84", "\xE2\x84\xAA",
                                         "\xC5\xBF", "\xCF\x83", "\xCE\xA3", "\xCF\x82",
                                         "\xE2\x82", "\x80",     "\xFF",     "\xE2\x82\xAC"};

std::string RandomText(std::mt19937& random, size_t pieces) {
    std::uniform_int_distribution<size_t> pick(0, Pieces.size() - 1);
    std::string text;
    for (size_t i = 0; i < pieces; ++i) {
        text += Pieces[pick(random)];
    }
    return text;
}

// A phrase that sometimes occurs (a slice of the text, whose letters may then be re-cased
// by the caller's choice of pieces) and sometimes is random.
std::string RandomPhrase(std::mt19937& random, const std::string& text) {
    std::uniform_int_distribution<int> kind(0, 3);
    switch (kind(random)) {
    case 0:
        return RandomText(random, std::uniform_int_distribution<size_t>(0, 4)(random));
    case 1:
        return "";
    default: {
        std::uniform_int_distribution<size_t> start(0, text.size());
        const size_t from = start(random);
        const size_t length = std::uniform_int_distribution<size_t>(0, 14)(random);
        return text.substr(from, length);
    }
    }
}

const std::vector<size_t> BlockSizes = {1, 2, 3, 4, 5, 6, 7, Search::BlockSize};

} // namespace

class TestMatcher : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { AddKernelRows(); }
    void init() {
        UseKernelOfRow();
        Globals::StopSearch = false;
    }

    void matchesNaiveSearchInOneText_data() {
        QTest::addColumn<Search::Comparison>("mode");
        QTest::newRow("exact") << Exact;
        QTest::newRow("case-insensitive") << Caseless;
    }
    void matchesNaiveSearchInOneText() {
        QFETCH(Search::Comparison, mode);
        std::mt19937 random(1234u + static_cast<unsigned>(mode));
        for (int round = 0; round < 3000; ++round) {
            const std::string text = RandomText(random, round % 40);
            const std::string phrase = RandomPhrase(random, text);
            const Search::Phrase prepared(phrase, mode);
            if (prepared.FoundIn(text) != NaiveFind(text, phrase, mode)) {
                QFAIL(qPrintable(QString("text %1 phrase %2")
                                     .arg(QByteArray::fromStdString(text).toHex(),
                                          QByteArray::fromStdString(phrase).toHex())));
            }
        }
    }

    // Every block size splits the texts at other places, also inside characters and inside
    // phrases longer than a block.
    void matchesNaiveSearchAcrossBlocks_data() {
        QTest::addColumn<Search::Comparison>("mode");
        QTest::newRow("exact") << Exact;
        QTest::newRow("case-insensitive") << Caseless;
    }
    void matchesNaiveSearchAcrossBlocks() {
        QFETCH(Search::Comparison, mode);
        const TestTree tree;
        std::mt19937 random(99u + static_cast<unsigned>(mode));
        for (int round = 0; round < 250; ++round) {
            // The file starts with printable text so that it is searched at all.
            const std::string content = "Text " + RandomText(random, 1 + round % 30);
            const std::string path = tree.Write("f.txt", content);
            for (int p = 0; p < 3; ++p) {
                const std::string phrase = RandomPhrase(random, content);
                const bool expected = NaiveFind(content, phrase, mode);
                for (size_t blockSize : BlockSizes) {
                    RecordingHost host;
                    const bool found = SearchFile(path, phrase, mode, host, blockSize);
                    if (found != expected || host.results.size() != (found ? 1u : 0u)) {
                        QFAIL(qPrintable(QString("block %1 text %2 phrase %3")
                                             .arg(blockSize)
                                             .arg(QByteArray::fromStdString(content).toHex(),
                                                  QByteArray::fromStdString(phrase).toHex())));
                    }
                }
            }
        }
    }

    // A phrase of one stray byte matches that byte only where it stands alone, never the same
    // byte inside a whole character, however the blocks cut the text: the carry must not begin
    // in the middle of a character that the text before it completed.
    void strayBytePhraseAcrossBlocks_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("found");
        QTest::newRow("inside a character before stray bytes")
            << QByteArray("Aneed\xC3\x9F\x9C\x9C\x9ChB\xE3") << false;
        QTest::newRow("inside a character at the end") << QByteArray("Aneed\x9C\xC3\x9F") << false;
        QTest::newRow("alone after stray bytes") << QByteArray("Aneed\x9C\x9C\x9C\x9FhB") << true;
        QTest::newRow("alone after a whole character") << QByteArray("Aneed\xC3\x9F\x9FhB") << true;
    }
    void strayBytePhraseAcrossBlocks() {
        QFETCH(QByteArray, content);
        QFETCH(bool, found);
        const TestTree tree;
        const std::string path = tree.Write("f.txt", content.toStdString());
        for (size_t blockSize : BlockSizes) {
            RecordingHost host;
            QVERIFY2(SearchFile(path, "\x9F", Caseless, host, blockSize) == found,
                     qPrintable(QString("block %1").arg(blockSize)));
        }
    }

    // The phrase placed at every offset, so that each block size cuts it at every place.
    void findsPhraseStraddlingEveryBoundary_data() {
        QTest::addColumn<Search::Comparison>("mode");
        QTest::addColumn<QByteArray>("phrase");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("exact") << Exact << QByteArray("Needle") << QByteArray("Needle");
        QTest::newRow("ascii letters in other case")
            << Caseless << QByteArray("NeEdLe") << QByteArray("nEeDlE");
        QTest::newRow("accented capitals")
            << Caseless << QByteArray("\xC3\x84PFEL") << QByteArray("\xC3\xA4pfel");
        QTest::newRow("greek with final sigma")
            << Caseless << QByteArray("\xCE\xA3\xCE\x9F\xCE\xA6\xCE\x8A\xCE\x91")
            << QByteArray("\xCF\x83\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1");
        QTest::newRow("kelvin sign in the text")
            << Caseless << QByteArray("ok") << QByteArray("O\xE2\x84\xAA");
    }
    void findsPhraseStraddlingEveryBoundary() {
        QFETCH(Search::Comparison, mode);
        QFETCH(QByteArray, phrase);
        QFETCH(QByteArray, written);
        const TestTree tree;
        for (size_t offset = 0; offset < 16; ++offset) {
            const std::string content =
                "Text " + std::string(offset, 'x') + written.toStdString() + "xxxxxxx";
            const std::string path = tree.Write("f.txt", content);
            for (size_t blockSize : BlockSizes) {
                RecordingHost host;
                QVERIFY2(SearchFile(path, phrase.toStdString(), mode, host, blockSize),
                         qPrintable(QString("offset %1 block %2").arg(offset).arg(blockSize)));
            }
        }
    }

    // Long texts rich in near misses, so that the vector scan and its tail both see hits.
    void matchesNaiveSearchInLongTexts_data() {
        QTest::addColumn<Search::Comparison>("mode");
        QTest::newRow("exact") << Exact;
        QTest::newRow("case-insensitive") << Caseless;
    }
    void matchesNaiveSearchInLongTexts() {
        QFETCH(Search::Comparison, mode);
        std::mt19937 random(7u + static_cast<unsigned>(mode));
        const std::string alphabet = "abAB \n";
        auto randomAscii = [&](size_t length) {
            std::string s;
            for (size_t i = 0; i < length; ++i) {
                s +=
                    alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(random)];
            }
            return s;
        };
        for (int round = 0; round < 4000; ++round) {
            const std::string text =
                randomAscii(std::uniform_int_distribution<size_t>(0, 300)(random));
            const std::string phrase =
                randomAscii(std::uniform_int_distribution<size_t>(1, 9)(random));
            const Search::Phrase prepared(phrase, mode);
            QCOMPARE(prepared.FoundIn(text), NaiveFind(text, phrase, mode));
        }
    }

    // A single non-ASCII character, anywhere in a long ASCII text, can complete a match.
    void findsLookalikeSpellingsAnywhereInLongText_data() {
        QTest::addColumn<QByteArray>("phrase");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("kelvin sign for k") << QByteArray("work") << QByteArray("WOR\xE2\x84\xAA");
        QTest::newRow("long s for s") << QByteArray("misty") << QByteArray("mi\xC5\xBFty");
        QTest::newRow("umlaut phrase") << QByteArray("\xC3\x84pfel") << QByteArray("\xC3\xA4PFEL");
    }
    void findsLookalikeSpellingsAnywhereInLongText() {
        QFETCH(QByteArray, phrase);
        QFETCH(QByteArray, written);
        const Search::Phrase prepared(phrase.toStdString(), Caseless);
        for (size_t at = 0; at <= 200; ++at) {
            const std::string text =
                std::string(at, 'x') + written.toStdString() + std::string(200 - at, 'x');
            QVERIFY2(prepared.FoundIn(text), qPrintable(QString("at %1").arg(at)));
            QVERIFY(!prepared.FoundIn(std::string(at, 'x') + "\xC3\xA4" + std::string(200, 'x')));
        }
    }
};

QTEST_GUILESS_MAIN(TestMatcher)
#include "tst_matcher.moc"
