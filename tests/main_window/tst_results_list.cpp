// The results list: a one-column list that looks and answers like the folder list, and whose
// appends cost the same however many results it holds.

#include "form_fixture.h"
#include "list_mouse.h"
#include "path_text.h"
#include "window_search_host.h"

#include <QApplication>
#include <QHeaderView>
#include <QScopeGuard>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>
#include <string>

using scanvale::WindowSearchHost;
using namespace scanvale::test;

namespace {

// The lists' usual delegate, counting how often it measures a row.
class MeasuringDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    int measured = 0;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        ++const_cast<MeasuringDelegate*>(this)->measured;
        return QStyledItemDelegate::sizeHint(option, index);
    }
};

// A loaded, shown window with one folder and `results` listed.
struct ListsFixture : FormFixture {
    QTreeWidget* folders = nullptr;
    QTableView* results = nullptr;

    explicit ListsFixture(const QList<QByteArray>& paths = {}) {
        Load().show();
        folders = Find<QTreeWidget>("ListView1");
        results = Find<QTableView>("ListView2");
        scanvale::AppendPathItem(*folders, "/srv/data");
        scanvale::RowsOf(*results).Append(paths);
    }
};

} // namespace

class TestResultsList : public QObject {
    Q_OBJECT

private slots:
    void looksLikeFolderList_data();
    void looksLikeFolderList();
    void presses_data();
    void presses();
    void dividerDragWidensColumn();
    void appendsWithYieldsMeasureNoRow_data();
    void appendsWithYieldsMeasureNoRow();
};

void TestResultsList::looksLikeFolderList_data() {
    // The application's font differs between platforms (Wayland's is not X11's); the lists show
    // their own font whichever it is.
    QTest::addColumn<int>("applicationPoints"); // 0: the platform's own
    QTest::newRow("platform's application font") << 0;
    QTest::newRow("larger application font") << 20;
}

void TestResultsList::looksLikeFolderList() {
    QFETCH(int, applicationPoints);
    const QFont platformFont = QApplication::font();
    const auto restore = qScopeGuard([&] { QApplication::setFont(platformFont); });
    if (applicationPoints > 0) {
        QFont font = platformFont;
        font.setPointSize(applicationPoints);
        QApplication::setFont(font);
    }
    ListsFixture f({"/srv/data/a.txt", "/srv/data/b.txt"});
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    const int folderRow = f.folders->visualItemRect(f.folders->topLevelItem(0)).height();
    QVERIFY(folderRow > f.results->fontMetrics().height() / 2);
    QCOMPARE(f.results->rowHeight(0), folderRow);
    QCOMPARE(f.results->visualRect(f.results->model()->index(1, 0)).top(), folderRow);
    QCOMPARE(f.results->horizontalHeader()->height(), f.folders->header()->height());
    QCOMPARE(f.results->font(), f.folders->font());
    QCOMPARE(f.results->palette(), f.folders->palette());
    QCOMPARE(f.results->frameShape(), f.folders->frameShape());
    // The rows start right below the header at the list's left edge, as in the folder list.
    QCOMPARE(f.results->viewport()->pos(), f.folders->viewport()->pos());
    QCOMPARE(f.results->viewport()->width(), f.folders->viewport()->width());
}

void TestResultsList::presses_data() {
    QTest::addColumn<int>("first");       // the row pressed first, -1: none
    QTest::addColumn<int>("then");        // the row pressed then, -1: the header
    QTest::addColumn<int>("selectedRow"); // -1: none
    QTest::newRow("a row selects that row alone") << -1 << 1 << 1;
    QTest::newRow("another row moves the selection") << 1 << 0 << 0;
    QTest::newRow("the header selects nothing") << -1 << -1 << -1;
    QTest::newRow("the header keeps the selection") << 2 << -1 << 2;
}

void TestResultsList::presses() {
    QFETCH(int, first);
    QFETCH(int, then);
    QFETCH(int, selectedRow);
    ListsFixture f({"/r/1", "/r/2", "/r/3"});
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    QWidget* rows = f.results->viewport();
    if (first >= 0) {
        QTest::mouseClick(rows, Qt::LeftButton, {}, RowPoint(*f.results, first));
    }
    if (then >= 0) {
        QTest::mouseClick(rows, Qt::LeftButton, {}, RowPoint(*f.results, then));
    } else {
        QWidget* header = f.results->horizontalHeader()->viewport();
        QTest::mouseClick(header, Qt::LeftButton, {}, {50, header->height() / 2});
    }

    QList<int> selected;
    for (const QModelIndex& index : f.results->selectionModel()->selectedIndexes()) {
        selected << index.row();
    }
    QCOMPARE(selected, selectedRow < 0 ? QList<int>{} : QList<int>{selectedRow});
    QCOMPARE(Texts(*f.results), (QStringList{"/r/1", "/r/2", "/r/3"}));
}

void TestResultsList::dividerDragWidensColumn() {
    ListsFixture f;
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    QWidget* header = f.results->horizontalHeader()->viewport();
    const int y = header->height() / 2;
    QTest::mousePress(header, Qt::LeftButton, {}, {352, y});
    MoveTo(header, {380, y});
    MoveTo(header, {420, y});
    QTest::mouseRelease(header, Qt::LeftButton, {}, {420, y});
    QCOMPARE(f.results->columnWidth(0), 353 + 420 - 352);
    QCOMPARE(f.results->model()->headerData(0, Qt::Horizontal), QStringLiteral("Results"));
}

void TestResultsList::appendsWithYieldsMeasureNoRow_data() {
    QTest::addColumn<bool>("results"); // false: the folder list, a tree, for comparison
    QTest::newRow("the results list measures no row") << true;
    QTest::newRow("a tree measures a row at each turn, as it lays all rows out again") << false;
}

void TestResultsList::appendsWithYieldsMeasureNoRow() {
    // Results arrive one at a time, each applied and followed by a full turn of the event loop
    // (the most a yield does; a search's turns usually bring many at once). A list that lays out or
    // measures all its rows again after each append slows down as it grows; a tree does, and its
    // layout measures a row each time, which the tree row shows this count catching.
    QFETCH(bool, results);
    ListsFixture f;
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    QAbstractItemView* list = results ? static_cast<QAbstractItemView*>(f.results) : f.folders;
    auto* delegate = new MeasuringDelegate(list); // owned by the list
    list->setItemDelegate(delegate);
    WindowSearchHost host(*f.folders, *f.results);

    constexpr int Appends = 1000;
    for (int i = 0; i < Appends; ++i) {
        const std::string path = "/srv/data/file-" + std::to_string(i) + ".txt";
        if (results) {
            host.AddResult(path);
            host.Apply();
        } else {
            scanvale::AppendPathItem(*f.folders, path);
            f.folders->viewport()->update();
        }
        QCoreApplication::processEvents();
    }

    QCOMPARE(list->model()->rowCount(), results ? Appends : Appends + 1);
    const QString measured = QString::number(delegate->measured);
    if (results) {
        QCOMPARE(Texts(*f.results).constLast(), QStringLiteral("/srv/data/file-999.txt"));
        QVERIFY2(delegate->measured < 10, qPrintable(measured));
    } else {
        QVERIFY2(delegate->measured >= Appends, qPrintable(measured));
    }
}

QTEST_MAIN(TestResultsList)
#include "tst_results_list.moc"
