// Start-up and shut-down of the main window.

#include "form_fixture.h"

#include <QEventLoop>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using scanvale::Form1;
using scanvale::PointerKind;
using scanvale::test::FormFixture;

class TestWindowStartup : public QObject {
    Q_OBJECT

private slots:
    void loadPreparesWindow();
    void loadStepsRunInOrder();
    void handPointerImage_data();
    void handPointerImage();
    void closingEndsProcess();
    void closingFromNestedEventLoop();
};

void TestWindowStartup::loadPreparesWindow() {
    FormFixture f;
    Form1& form = f.Create();
    QCOMPARE(f.Find<QLineEdit>("Text1")->text(), QStringLiteral("Text1"));
    form.Form_Load();

    QCOMPARE(form.windowTitle(), QStringLiteral("Scanvale"));
    QVERIFY(f.Find<QLineEdit>("Text1")->text().isEmpty());
    QCOMPARE(f.homePageDraws, 1);
    auto* folders = f.Find<QTreeWidget>("ListView1");
    QCOMPARE(folders->columnCount(), 1);
    QCOMPARE(folders->headerItem()->text(0), QStringLiteral("Folder(s)"));
    QCOMPARE(folders->columnWidth(0), 353); // 5300 twips
    QCOMPARE(folders->topLevelItemCount(), 0);
    QCOMPARE(folders->header()->sectionResizeMode(0), QHeaderView::Interactive);
    auto* results = f.Find<QTableView>("ListView2");
    QCOMPARE(results->model()->columnCount(), 1);
    QCOMPARE(results->model()->headerData(0, Qt::Horizontal), QStringLiteral("Results"));
    QCOMPARE(results->columnWidth(0), 353);
    QCOMPARE(results->model()->rowCount(), 0);
    QCOMPARE(results->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    QCOMPARE(form.MousePointer(), PointerKind::Default);
    QCOMPARE(f.endProcessCalls, 0);
}

void TestWindowStartup::loadStepsRunInOrder() {
    // The home-page draw comes after the phrase box, caption and hand image, and before the
    // lists get their columns. (Where the window is placed is tested end to end, under a
    // window manager that draws a frame around it.)
    FormFixture f;
    QVERIFY(QFile::copy(QStringLiteral(SCANVALE_POINTER_DIR "/HAND-M.CUR"),
                        f.pointerDir.filePath(QStringLiteral("HAND-M.CUR"))));
    bool checked = false;
    f.onHomePageDraw = [&] {
        Form1& form = *f.form;
        QVERIFY(f.Find<QLineEdit>("Text1")->text().isEmpty());
        QCOMPARE(form.windowTitle(), QStringLiteral("Scanvale"));
        QVERIFY(form.MouseIcon().has_value());
        QCOMPARE(f.Find<QTreeWidget>("ListView1")->columnCount(), 0);
        QCOMPARE(f.Find<QTableView>("ListView2")->model()->columnCount(), 0);
        checked = true;
    };
    f.Load();
    QVERIFY(checked);
}

void TestWindowStartup::handPointerImage_data() {
    QTest::addColumn<QByteArray>("fileContents"); // empty: no file at all
    QTest::addColumn<bool>("loaded");
    QFile hand(QStringLiteral(SCANVALE_POINTER_DIR "/HAND-M.CUR"));
    QVERIFY(hand.open(QIODevice::ReadOnly));
    QTest::newRow("missing file: no image") << QByteArray() << false;
    QTest::newRow("hand pointer file: image loaded") << hand.readAll() << true;
    QTest::newRow("unreadable file: no image") << QByteArray("not a cursor at all") << false;
}

void TestWindowStartup::handPointerImage() {
    QFETCH(QByteArray, fileContents);
    QFETCH(bool, loaded);
    FormFixture f;
    if (!fileContents.isEmpty()) {
        QFile file(f.pointerDir.filePath(QStringLiteral("HAND-M.CUR")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(fileContents);
    }
    Form1& form = f.Load();
    QCOMPARE(form.MouseIcon().has_value(), loaded);
    if (loaded) {
        QVERIFY(!form.MouseIcon()->pixmap().isNull());
    }
    // Loading the image changes no pointer shape.
    QCOMPARE(form.MousePointer(), PointerKind::Default);
    QVERIFY(!form.testAttribute(Qt::WA_SetCursor));
    QVERIFY(f.dialogs.calls.isEmpty());
}

void TestWindowStartup::closingEndsProcess() {
    FormFixture f;
    Form1& form = f.Load();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.close();
    QCOMPARE(f.endProcessCalls, 1);
    QVERIFY(f.dialogs.calls.isEmpty());
}

void TestWindowStartup::closingFromNestedEventLoop() {
    // A handler suspended in a nested event loop (as a running search or a save will be) does
    // not hold up the end: closing the window ends the process from inside that loop.
    FormFixture f;
    Form1& form = f.Load();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QEventLoop nested;
    bool endedInsideNestedLoop = false;
    f.onEndProcess = [&] {
        endedInsideNestedLoop = nested.isRunning();
        nested.quit();
    };
    QTimer::singleShot(0, &form, [&form] { form.close(); });
    QTimer::singleShot(5000, &nested, &QEventLoop::quit);
    nested.exec();
    QCOMPARE(f.endProcessCalls, 1);
    QVERIFY(endedInsideNestedLoop);
}

QTEST_MAIN(TestWindowStartup)
#include "tst_window_startup.moc"
