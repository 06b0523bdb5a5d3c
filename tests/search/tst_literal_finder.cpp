// The literal scan at every position of its vector rounds, with each kernel this machine runs:
// the rounds test 64 (AVX2) or 16 (SSE2) start positions at a time and hand the positions where
// both anchors match to a full compare, and the last positions go through a plain loop, so a
// fault shows at a particular position or text length.
#include "kernel_rows.h"
#include "search/literal_finder.h"

#include <QTest>
#include <string>

namespace Search = scanvale::Search;
using scanvale::test::AddKernelRows;
using scanvale::test::UseKernelOfRow;

namespace {

// Texts of ordinary letters, none of them in the needles below.
std::string Filler(size_t length) {
    std::string text;
    for (size_t i = 0; i < length; ++i) {
        text += "abcdefghij"[i % 10];
    }
    return text;
}

} // namespace

class TestLiteralFinder : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { AddKernelRows(); }
    void init() { UseKernelOfRow(); }

    void findsNeedleAtEveryPosition_data() {
        QTest::addColumn<QByteArray>("needle");
        QTest::addColumn<QByteArray>("spelled");
        QTest::addColumn<bool>("caseless");
        QTest::newRow("exact") << QByteArray("xylophone") << QByteArray("xylophone") << false;
        QTest::newRow("caseless, other case")
            << QByteArray("xYlophOne") << QByteArray("XyLOPHoNE") << true;
        QTest::newRow("two bytes") << QByteArray("zq") << QByteArray("zq") << false;
        QTest::newRow("one byte") << QByteArray("z") << QByteArray("z") << false;
    }
    void findsNeedleAtEveryPosition() {
        QFETCH(QByteArray, needle);
        QFETCH(QByteArray, spelled);
        QFETCH(bool, caseless);
        const Search::LiteralFinder finder(needle.toStdString(), caseless);
        const auto shortest = static_cast<size_t>(needle.size());
        for (size_t length :
             {shortest, size_t{63}, size_t{64}, size_t{65}, size_t{200}, size_t{300}}) {
            for (size_t at = 0; at + shortest <= length; ++at) {
                std::string text = Filler(length);
                text.replace(at, static_cast<size_t>(spelled.size()), spelled.toStdString());
                QVERIFY2(finder.FoundIn(text),
                         qPrintable(QStringLiteral("length %1, at %2").arg(length).arg(at)));
                // Cut off by one byte at the end of the text, it is not there.
                if (at + shortest == length && shortest > 1) {
                    QVERIFY(!finder.FoundIn(std::string_view(text).substr(0, length - 1)));
                }
            }
        }
    }

    // Both anchors (the rarest bytes) in place, with the rest of the needle wrong: a candidate
    // the full compare must turn down, in every lane, many of them in one round.
    void turnsDownCandidatesThatMatchOnlyTheAnchors() {
        const Search::LiteralFinder finder("zaaaaq", false);
        for (size_t at = 0; at < 200; ++at) {
            std::string text = Filler(260);
            text.replace(at, 6, "zaabaq");
            QVERIFY2(!finder.FoundIn(text), qPrintable(QString::number(at)));
        }
        std::string crowded;
        for (int i = 0; i < 60; ++i) {
            crowded += "zaabaq";
        }
        QVERIFY(!finder.FoundIn(crowded));
        QVERIFY(finder.FoundIn(crowded + "zaaaaq"));
    }

    // A scan that does not find the needle tells whether the text holds a byte above 127,
    // wherever that byte is: before the anchor's offset, inside the rounds, or in the tail.
    void reportsAHighByteAnywhere_data() {
        QTest::addColumn<bool>("caseless");
        QTest::newRow("exact") << false;
        QTest::newRow("caseless") << true;
    }
    void reportsAHighByteAnywhere() {
        QFETCH(bool, caseless);
        // The rarest byte, 'z', lies at offset 5, so the rounds' first loads begin there.
        const Search::LiteralFinder finder("ooooozo", caseless);
        for (size_t length : {size_t{7}, size_t{70}, size_t{200}}) {
            bool high = true;
            QVERIFY(!finder.FoundIn(Filler(length), &high));
            QVERIFY(!high);
            for (size_t at = 0; at < length; ++at) {
                std::string text = Filler(length);
                text[at] = '\xC3';
                high = false;
                QVERIFY(!finder.FoundIn(text, &high));
                QVERIFY2(high, qPrintable(QStringLiteral("length %1, at %2").arg(length).arg(at)));
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestLiteralFinder)
#include "tst_literal_finder.moc"
