// Reordering folders by dragging, the folder list's own pointer, edge scrolling and removal
// by double-click.

#include "folder_list_drag.h"
#include "form_fixture.h"
#include "list_mouse.h"
#include "path_text.h"

#include <QFile>
#include <QScrollBar>

using scanvale::FolderListDrag;
using scanvale::PointerKind;
using scanvale::test::FormFixture;
using namespace scanvale::test;

namespace {

// A shown window with the drag pointer file beside it (unless `withDragIcon` is false) and the
// folder list holding `texts`.
struct DragFixture {
    FormFixture f;
    QTreeWidget* list = nullptr;
    FolderListDrag* drag = nullptr;

    explicit DragFixture(const QStringList& texts, bool withDragIcon = true) {
        if (withDragIcon) {
            QFile::copy(QStringLiteral(SCANVALE_POINTER_DIR "/drag.ico"),
                        f.pointerDir.filePath(QStringLiteral("drag.ico")));
        }
        f.Load().show();
        list = f.Find<QTreeWidget>("ListView1");
        drag = list->findChild<FolderListDrag*>();
        Fill(*list, texts);
    }
    QTreeWidgetItem* Row(int row) const { return list->topLevelItem(row); }
};

} // namespace

class TestFolderListDrag : public QObject {
    Q_OBJECT

private slots:
    void anyButtonArmsAndAnyReleaseEnds_data();
    void anyButtonArmsAndAnyReleaseEnds();
    void unreadableDragPointer_data();
    void unreadableDragPointer();
    void dragReorders_data();
    void dragReorders();
    void exchangeCarriesItemData();
    void edgeScrolling_data();
    void edgeScrolling();
    void doubleClickRemoves_data();
    void doubleClickRemoves();
    void removedDraggedItemCountsAsNone();
    void doubleClickOnResultsDoesNothing();
};

void TestFolderListDrag::anyButtonArmsAndAnyReleaseEnds_data() {
    QTest::addColumn<Qt::MouseButton>("pressed");
    QTest::addColumn<Qt::MouseButton>("released");
    QTest::newRow("left then left") << Qt::LeftButton << Qt::LeftButton;
    QTest::newRow("right then right") << Qt::RightButton << Qt::RightButton;
    QTest::newRow("middle then left") << Qt::MiddleButton << Qt::LeftButton;
}

void TestFolderListDrag::anyButtonArmsAndAnyReleaseEnds() {
    QFETCH(Qt::MouseButton, pressed);
    QFETCH(Qt::MouseButton, released);
    DragFixture d({"A", "B"});
    QCOMPARE(d.drag->MousePointer(), PointerKind::Default);

    Press(*d.list, RowPoint(*d.list, 1), pressed);
    QVERIFY(d.drag->Dragging());
    QCOMPARE(d.drag->DraggedItem(), d.Row(1));
    QCOMPARE(d.drag->MousePointer(), PointerKind::Custom);
    QCOMPARE(d.list->viewport()->cursor().shape(), Qt::BitmapCursor);

    Release(*d.list, RowPoint(*d.list, 1), released);
    QVERIFY(!d.drag->Dragging());
    QCOMPARE(d.drag->MousePointer(), PointerKind::Arrow);
    QCOMPARE(d.list->viewport()->cursor().shape(), Qt::ArrowCursor);
    // A release leaves the dragged item as it was.
    QCOMPARE(d.drag->DraggedItem(), d.Row(1));
}

void TestFolderListDrag::unreadableDragPointer_data() {
    QTest::addColumn<QByteArray>("contents"); // empty: no file at all
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("not an icon") << QByteArray("this is not an icon file");
}

void TestFolderListDrag::unreadableDragPointer() {
    QFETCH(QByteArray, contents);
    DragFixture d({"A", "B"}, false);
    if (!contents.isEmpty()) {
        QFile file(d.f.pointerDir.filePath(QStringLiteral("drag.ico")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    Press(*d.list, RowPoint(*d.list, 0));
    QCOMPARE(d.drag->MousePointer(), PointerKind::Default);
    QVERIFY(!d.list->viewport()->testAttribute(Qt::WA_SetCursor));
    MoveTo(d.list->viewport(), RowPoint(*d.list, 1));
    QCOMPARE(Texts(*d.list), (QStringList{"B", "A"}));
}

void TestFolderListDrag::dragReorders_data() {
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("pressedRow");            // -1: no press at all
    QTest::addColumn<QList<int>>("moves");          // rows; -1: empty space below the last row
    QTest::addColumn<QList<QStringList>>("orders"); // after each move
    QTest::addColumn<int>("selectedRow");           // -1: not looked at
    const QStringList abc{"A", "B", "C"};
    QTest::newRow("slow drag down moves one row at a time")
        << abc << 0 << QList<int>{1, 2} << QList<QStringList>{{"B", "A", "C"}, {"B", "C", "A"}}
        << 2;
    QTest::newRow("slow drag up") << abc << 2 << QList<int>{1, 0}
                                  << QList<QStringList>{{"A", "C", "B"}, {"C", "A", "B"}} << 0;
    QTest::newRow("jump swaps and leaves the rows between")
        << abc << 0 << QList<int>{2} << QList<QStringList>{{"C", "B", "A"}} << 2;
    QTest::newRow("over the dragged item itself")
        << abc << 1 << QList<int>{1} << QList<QStringList>{abc} << 1;
    QTest::newRow("over an item with the same text")
        << QStringList{"A", "B", "A"} << 0 << QList<int>{2} << QList<QStringList>{{"A", "B", "A"}}
        << 0;
    QTest::newRow("empty space, then back over an item")
        << abc << 0 << QList<int>{-1, 1} << QList<QStringList>{abc, {"B", "A", "C"}} << 1;
    QTest::newRow("moves without a press")
        << abc << -1 << QList<int>{1, 2} << QList<QStringList>{abc, abc} << -1;
}

void TestFolderListDrag::dragReorders() {
    QFETCH(QStringList, items);
    QFETCH(int, pressedRow);
    QFETCH(QList<int>, moves);
    QFETCH(QList<QStringList>, orders);
    QFETCH(int, selectedRow);
    DragFixture d(items);
    if (pressedRow >= 0) {
        Press(*d.list, RowPoint(*d.list, pressedRow));
    }
    for (qsizetype i = 0; i < moves.size(); ++i) {
        const int row = moves[i];
        MoveTo(d.list->viewport(), row < 0 ? BelowLastRow(*d.list) : RowPoint(*d.list, row));
        QCOMPARE(Texts(*d.list), orders[i]);
        QCOMPARE(d.drag->TargetItem(), nullptr);
    }
    if (selectedRow >= 0) {
        QCOMPARE(d.list->selectedItems(), QList<QTreeWidgetItem*>{d.Row(selectedRow)});
        QCOMPARE(d.drag->DraggedItem(), d.Row(selectedRow));
    }
    // The drag ends with the release: later moves change nothing.
    Release(*d.list, RowPoint(*d.list, 0));
    const QStringList settled = Texts(*d.list);
    MoveTo(d.list->viewport(), RowPoint(*d.list, 1), Qt::NoButton);
    MoveTo(d.list->viewport(), RowPoint(*d.list, 0), Qt::NoButton);
    QCOMPARE(Texts(*d.list), settled);
}

void TestFolderListDrag::exchangeCarriesItemData() {
    DragFixture d({});
    scanvale::AppendPathItem(*d.list, "/first/caf\xe9");
    scanvale::AppendPathItem(*d.list, "/second");
    constexpr int OnlyOnFirst = Qt::UserRole + 7;
    d.Row(0)->setData(0, OnlyOnFirst, QStringLiteral("kept"));
    const QString firstText = d.Row(0)->text(0);

    Press(*d.list, RowPoint(*d.list, 0));
    MoveTo(d.list->viewport(), RowPoint(*d.list, 1));

    QCOMPARE(d.Row(0)->text(0), QStringLiteral("/second"));
    QCOMPARE(scanvale::ItemPathBytes(*d.Row(0)), QByteArray("/second"));
    QVERIFY(!d.Row(0)->data(0, OnlyOnFirst).isValid());
    QCOMPARE(d.Row(1)->text(0), firstText);
    QCOMPARE(scanvale::ItemPathBytes(*d.Row(1)), QByteArray("/first/caf\xe9"));
    QCOMPARE(d.Row(1)->data(0, OnlyOnFirst).toString(), QStringLiteral("kept"));
}

void TestFolderListDrag::edgeScrolling_data() {
    // The list holds 30 folders. The target row is scrolled to the given place in the list's
    // visible area; the folder below it (or above it, for a target at the bottom) is dragged
    // onto it with the pointer at the given place within the target row.
    QTest::addColumn<int>("target");
    QTest::addColumn<QString>("place"); // "top", "middle" or "bottom" of the visible area
    QTest::addColumn<int>("shown");     // the row expected to come into view; -1: no scrolling
    QTest::newRow("near the top edge shows the row above") << 10 << "top" << 9;
    QTest::newRow("near the bottom edge shows the row below") << 10 << "bottom" << 11;
    QTest::newRow("in the middle nothing scrolls") << 10 << "middle" << -1;
    QTest::newRow("first position near the top edge") << 0 << "top" << -1;
    QTest::newRow("last position near the bottom edge") << 29 << "bottom" << -1;
}

void TestFolderListDrag::edgeScrolling() {
    QFETCH(int, target);
    QFETCH(QString, place);
    QFETCH(int, shown);
    QStringList folders;
    for (int i = 0; i < 30; ++i) {
        folders << QStringLiteral("/folder%1").arg(i);
    }
    DragFixture d(folders);
    QVERIFY(QTest::qWaitForWindowExposed(d.f.form.get()));
    const auto hint = place == "top"      ? QAbstractItemView::PositionAtTop
                      : place == "bottom" ? QAbstractItemView::PositionAtBottom
                                          : QAbstractItemView::PositionAtCenter;
    d.list->scrollToItem(d.Row(target), hint);
    const QRect targetRect = d.list->visualItemRect(d.Row(target));
    const int viewportHeight = d.list->viewport()->height();
    // The fixed rows must leave a middle band for the test to mean anything.
    QVERIFY(viewportHeight > 3 * targetRect.height());
    const int dragged = place == "bottom" ? target - 1 : target + 1;
    const int pointerY = place == "top"      ? targetRect.top() + 1
                         : place == "bottom" ? targetRect.bottom() - 1
                                             : targetRect.center().y();
    const int scrolledBefore = d.list->verticalScrollBar()->value();

    Press(*d.list, RowPoint(*d.list, dragged));
    MoveTo(d.list->viewport(), {targetRect.center().x(), pointerY});

    QCOMPARE(d.Row(target)->text(0), folders[dragged]);
    if (shown < 0) {
        QCOMPARE(d.list->verticalScrollBar()->value(), scrolledBefore);
        return;
    }
    const QRect shownRect = d.list->visualItemRect(d.Row(shown));
    QVERIFY(shownRect.top() >= 0 && shownRect.bottom() < viewportHeight);
    // Just enough to show the one neighbour: the row beyond it is not wholly in view.
    const QRect beyondRect = d.list->visualItemRect(d.Row(shown + (shown - target)));
    QVERIFY(beyondRect.top() < 0 || beyondRect.bottom() >= viewportHeight);
}

void TestFolderListDrag::doubleClickRemoves_data() {
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("clickedRow"); // -1: empty space below the last row
    QTest::addColumn<QStringList>("remaining");
    QTest::newRow("the folder goes, those below move up")
        << QStringList{"A", "B", "C"} << 1 << QStringList{"A", "C"};
    QTest::newRow("last folder") << QStringList{"A", "B", "C"} << 2 << QStringList{"A", "B"};
    QTest::newRow("nothing selected") << QStringList{"A", "B"} << -1 << QStringList{"A", "B"};
    QTest::newRow("empty list") << QStringList{} << -1 << QStringList{};
}

void TestFolderListDrag::doubleClickRemoves() {
    QFETCH(QStringList, items);
    QFETCH(int, clickedRow);
    QFETCH(QStringList, remaining);
    DragFixture d(items);
    DoubleClick(d.list->viewport(),
                clickedRow < 0 ? BelowLastRow(*d.list) : RowPoint(*d.list, clickedRow));
    QCOMPARE(Texts(*d.list), remaining);
    QVERIFY(!d.drag->Dragging());
}

void TestFolderListDrag::removedDraggedItemCountsAsNone() {
    DragFixture d({"A", "B", "C"});
    // Removing the dragged folder itself leaves no dragged item: a later drag that does not
    // start on an item moves nothing.
    DoubleClick(d.list->viewport(), RowPoint(*d.list, 1));
    QCOMPARE(Texts(*d.list), (QStringList{"A", "C"}));
    QCOMPARE(d.drag->DraggedItem(), nullptr);
    d.list->clearSelection();
    Press(*d.list, BelowLastRow(*d.list));
    QVERIFY(d.drag->Dragging());
    MoveTo(d.list->viewport(), RowPoint(*d.list, 0));
    MoveTo(d.list->viewport(), RowPoint(*d.list, 1));
    QCOMPARE(Texts(*d.list), (QStringList{"A", "C"}));
}

void TestFolderListDrag::doubleClickOnResultsDoesNothing() {
    DragFixture d({"A"});
    auto* results = d.f.Find<QTableView>("ListView2");
    scanvale::RowsOf(*results).Append({"/r1", "/r2"});
    results->setCurrentIndex(results->model()->index(0, 0));
    DoubleClick(results->viewport(), RowPoint(*results, 0));
    QCOMPARE(Texts(*results), (QStringList{"/r1", "/r2"}));
    QCOMPARE(Texts(*d.list), QStringList{"A"});
}

QTEST_MAIN(TestFolderListDrag)
#include "tst_folder_list_drag.moc"
