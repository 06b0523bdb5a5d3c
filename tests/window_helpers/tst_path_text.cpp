// Paths as the file system gives them (bytes) shown readably while their exact bytes are kept.

#include "path_text.h"

#include <QTableWidget>
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
    void tableWithoutColumnKeepsNoItem();
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
    QTest::addColumn<bool>("inTable"); // the results list is a table, the folder list a tree
    for (const bool inTable : {false, true}) {
        const char* list = inTable ? "table: " : "tree: ";
        QTest::addRow("%sutf-8", list) << QByteArray("/tmp/\xC3\xA4pfel.txt") << inTable;
        QTest::addRow("%snot utf-8", list) << QByteArray("/tmp/caf\xE9\xFF.txt") << inTable;
        QTest::addRow("%slooks like an escape", list) << QByteArray("/tmp/\\xe9.txt") << inTable;
    }
}

void TestPathText::itemKeepsExactBytes() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, inTable);
    const std::string_view path(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    const QString shown = DisplayPath(path);
    if (inTable) {
        QTableWidget list(0, 1);
        QTableWidgetItem* first = AppendPathItem(list, path);
        AppendPathItem(list, "/second");
        QCOMPARE(list.rowCount(), 2);
        QCOMPARE(list.item(0, 0), first);
        QCOMPARE(first->text(), shown);
        QCOMPARE(ItemPathBytes(*first), bytes);
        QCOMPARE(list.item(1, 0)->text(), QStringLiteral("/second"));
        QVERIFY(!(first->flags() & Qt::ItemIsEditable));
    } else {
        QTreeWidget list;
        list.setColumnCount(1);
        AppendPathItem(list, path);
        AppendPathItem(list, "/second");
        QCOMPARE(list.topLevelItemCount(), 2);
        QCOMPARE(list.topLevelItem(0)->text(0), shown);
        QCOMPARE(ItemPathBytes(*list.topLevelItem(0)), bytes);
        QCOMPARE(list.topLevelItem(1)->text(0), QStringLiteral("/second"));
    }
}

void TestPathText::itemMadeElsewhereGivesItsTextAsUtf8() {
    QTreeWidgetItem item(QStringList{QStringLiteral("/tmp/äpfel")});
    QCOMPARE(ItemPathBytes(item), QByteArray("/tmp/\xC3\xA4pfel"));
    QTableWidgetItem cell(QStringLiteral("/tmp/äpfel"));
    QCOMPARE(ItemPathBytes(cell), QByteArray("/tmp/\xC3\xA4pfel"));
}

void TestPathText::tableWithoutColumnKeepsNoItem() {
    // No cell can hold the item: none is returned, and none is left unowned (the sanitizer
    // build reports a leak otherwise).
    QTableWidget list;
    QCOMPARE(AppendPathItem(list, "/a"), nullptr);
    QCOMPARE(list.rowCount(), 1);
}

QTEST_MAIN(TestPathText)
#include "tst_path_text.moc"
