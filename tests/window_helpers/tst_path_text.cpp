// Paths as the file system gives them (bytes) shown readably while their exact bytes are kept.

#include "path_text.h"

#include <QTest>
#include <QTreeWidget>
#include <string>

using namespace scanvale;

class TestPathText : public QObject {
    Q_OBJECT

private slots:
    void displayPath_data();
    void displayPath();
    void itemKeepsExactBytes_data();
    void itemKeepsExactBytes();
    void itemMadeElsewhereGivesItsTextAsUtf8();
};

void TestPathText::displayPath_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain ascii") << QByteArray("/home/a/b.txt") << QStringLiteral("/home/a/b.txt");
    QTest::newRow("utf-8 letters decoded")
        << QByteArray("/tmp/\xC3\xA4pfel/\xCF\x83") << QStringLiteral("/tmp/äpfel/σ");
    QTest::newRow("four-byte character decoded")
        << QByteArray("/x/\xF0\x9F\x98\x80") << QString::fromUtf8("/x/\xF0\x9F\x98\x80");
    QTest::newRow("latin-1 byte escaped")
        << QByteArray("/tmp/caf\xE9") << QStringLiteral("/tmp/caf\\xe9");
    QTest::newRow("lone continuation byte escaped")
        << QByteArray("a\x80z") << QStringLiteral("a\\x80z");
    QTest::newRow("cut sequence escaped byte by byte")
        << QByteArray("a\xE2\x82") << QStringLiteral("a\\xe2\\x82");
    QTest::newRow("overlong form escaped")
        << QByteArray("\xC0\xAF") << QStringLiteral("\\xc0\\xaf");
    QTest::newRow("surrogate escaped")
        << QByteArray("\xED\xA0\x80") << QStringLiteral("\\xed\\xa0\\x80");
    QTest::newRow("newline kept as is") << QByteArray("/a\nb") << QStringLiteral("/a\nb");
}

void TestPathText::displayPath() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    QCOMPARE(DisplayPath(std::string_view(bytes.constData(), bytes.size())), shown);
}

void TestPathText::itemKeepsExactBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("utf-8") << QByteArray("/tmp/\xC3\xA4pfel.txt");
    QTest::newRow("not utf-8") << QByteArray("/tmp/caf\xE9\xFF.txt");
    QTest::newRow("looks like an escape") << QByteArray("/tmp/\\xe9.txt");
}

void TestPathText::itemKeepsExactBytes() {
    QFETCH(QByteArray, bytes);
    const std::string_view path(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    QTreeWidget list;
    list.setColumnCount(1);
    AppendPathItem(list, path);
    AppendPathItem(list, "/second");
    QCOMPARE(list.topLevelItemCount(), 2);
    QCOMPARE(list.topLevelItem(0)->text(0), DisplayPath(path));
    QCOMPARE(ItemPathBytes(*list.topLevelItem(0)), bytes);
    QCOMPARE(list.topLevelItem(1)->text(0), QStringLiteral("/second"));
}

void TestPathText::itemMadeElsewhereGivesItsTextAsUtf8() {
    QTreeWidgetItem item(QStringList{QStringLiteral("/tmp/äpfel")});
    QCOMPARE(ItemPathBytes(item), QByteArray("/tmp/\xC3\xA4pfel"));
}

QTEST_MAIN(TestPathText)
#include "tst_path_text.moc"
