// "Clear Results": the results list is emptied at once and nothing else changes.

#include "form_fixture.h"
#include "list_texts.h"
#include "window_search_host.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using scanvale::PointerKind;
using scanvale::test::FormFixture;
using scanvale::test::Texts;

class TestClearResults : public QObject {
    Q_OBJECT

private slots:
    void clear_data();
    void clear();
    void saveAfterClearGivesEmptyFile();
    void clearBetweenSearchResults();
};

void TestClearResults::clear_data() {
    QTest::addColumn<QByteArrayList>("results");
    QTest::newRow("empty list stays empty") << QByteArrayList{};
    QTest::newRow("three results removed") << QByteArrayList{"/a/1.txt", "/b/2.txt", "/c/3.txt"};
}

void TestClearResults::clear() {
    QFETCH(QByteArrayList, results);
    FormFixture f;
    f.Load();
    auto* list = f.Find<QTableView>("ListView2");
    auto* folders = f.Find<QTreeWidget>("ListView1");
    auto* button = f.Find<QAbstractButton>("Check6");
    scanvale::RowsOf(*list).Append(results);
    f.dialogs.folders.enqueue("/srv/data");
    f.Find<QAbstractButton>("Check3")->click();
    const int width = list->columnWidth(0);
    f.form->SetMousePointer(PointerKind::Arrow);

    QTest::mouseClick(button, Qt::LeftButton);

    QCOMPARE(list->model()->rowCount(), 0);
    QCOMPARE(list->model()->columnCount(), 1);
    QCOMPARE(list->model()->headerData(0, Qt::Horizontal), QStringLiteral("Results"));
    QCOMPARE(list->columnWidth(0), width);
    QCOMPARE(Texts(*folders), QStringList{"/srv/data"});
    QCOMPARE(folders->headerItem()->text(0), QStringLiteral("Folder(s)"));
    QCOMPARE(f.dialogs.calls.size(), 1); // the folder chooser only: clearing asks nothing
    QCOMPARE(f.form->MousePointer(), PointerKind::Arrow);
    QVERIFY(!button->isChecked());
}

void TestClearResults::saveAfterClearGivesEmptyFile() {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("after-clear.txt"));
    FormFixture f;
    f.Load();
    scanvale::RowsOf(*f.Find<QTableView>("ListView2")).Append({"/a/1.txt"});
    f.dialogs.saveNames.enqueue(target);

    QTest::mouseClick(f.Find<QAbstractButton>("Check6"), Qt::LeftButton);
    QTest::mouseClick(f.Find<QAbstractButton>("Check2"), Qt::LeftButton);

    QFile saved(target);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.size(), 0);
    QCOMPARE(f.dialogs.calls.back().text, QStringLiteral("Done."));
}

void TestClearResults::clearBetweenSearchResults() {
    // Results reported through the host a search uses, with a yield between each: a press that
    // arrives in one of the yields leaves only the results found after it.
    FormFixture f;
    f.Load();
    auto* list = f.Find<QTableView>("ListView2");
    bool pressed = false;
    scanvale::WindowSearchHost host(*f.Find<QTreeWidget>("ListView1"), *list);
    for (const char* path : {"/found/1", "/found/2", "/found/3", "/found/4"}) {
        host.AddResult(path);
        if (std::string_view(path) == "/found/2") {
            QTimer::singleShot(0, f.form.get(), [&] {
                pressed = true;
                QTest::mouseClick(f.Find<QAbstractButton>("Check6"), Qt::LeftButton);
            });
        }
        host.Yield();
    }
    QVERIFY(pressed);
    QCOMPARE(Texts(*list), (QStringList{"/found/3", "/found/4"}));
}

QTEST_MAIN(TestClearResults)
#include "tst_clear_results.moc"
