// Which files are searched at all, judged on their first five bytes.
#include "search/text_sniff.h"

#include <QtTest>

namespace Search = scanvale::Search;

class TestTextSniff : public QObject {
    Q_OBJECT

private slots:
    void judgesTheFirstFiveBytes_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<bool>("text");
        QTest::newRow("printable ascii") << QByteArray("Hello") << true;
        QTest::newRow("starts with an empty line") << QByteArray("\nabcd") << true;
        QTest::newRow("crlf line break") << QByteArray("ab\r\nc") << true;
        QTest::newRow("starts with a tab") << QByteArray("\tabcd") << true;
        QTest::newRow("utf-8 byte-order mark") << QByteArray("\xEF\xBB\xBF"
                                                             "ab")
                                               << true;
        QTest::newRow("accented letter") << QByteArray("\xC3\xA9t\xC3\xA9") << true;
        QTest::newRow("character cut off by the window") << QByteArray("abc\xE2\x82") << true;
        QTest::newRow("four-byte character cut off") << QByteArray("ab\xF0\x9F\x98") << true;
        QTest::newRow("short file of text") << QByteArray("ab") << true;
        QTest::newRow("empty file") << QByteArray() << false;
        QTest::newRow("NUL") << QByteArray("ab\0cd", 5) << false;
        QTest::newRow("ESC") << QByteArray("\x1B[0m") << false;
        QTest::newRow("DEL") << QByteArray("ab\x7F"
                                           "cd")
                             << false;
        QTest::newRow("png signature, a lone 0x89") << QByteArray("\x89PNG\r") << false;
        QTest::newRow("latin-1 accented letter") << QByteArray("caf\xE9!") << false;
        QTest::newRow("overlong encoding") << QByteArray("\xC0\xAF"
                                                         "abc")
                                           << false;
        QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80"
                                                         "ab")
                                           << false;
        QTest::newRow("broken sequence inside the window") << QByteArray("\xE2\x82"
                                                                         "abc")
                                                           << false;
        QTest::newRow("short file ending inside a character") << QByteArray("ab\xC3") << false;
    }
    void judgesTheFirstFiveBytes() {
        QFETCH(QByteArray, head);
        QFETCH(bool, text);
        QCOMPARE(Search::LooksLikeText(std::string_view(head.constData(), head.size())), text);
    }

    void looksAtNoMoreThanFiveBytes() {
        QVERIFY(Search::LooksLikeText(std::string_view("Hello\0\0\0", 8)));
    }
};

QTEST_GUILESS_MAIN(TestTextSniff)
#include "tst_text_sniff.moc"
