// The window's pointer kind as the mouse passes over its elements, and the pointer shown.

#include "folder_list_drag.h"
#include "form_fixture.h"
#include "list_mouse.h"

#include <QFile>
#include <QFrame>
#include <QLineEdit>

using scanvale::FolderListDrag;
using scanvale::Form1;
using scanvale::PointerKind;
using scanvale::test::FormFixture;
using namespace scanvale::test;

namespace {

// Sends a move without buttons to the named element ("Form1": the window's own surface at
// `at`; elsewhere the element's centre), as the window system would.
void MoveOver(FormFixture& f, const QString& name, QPoint at = {}) {
    if (name == QLatin1String("Form1")) {
        MoveTo(f.form.get(), at, Qt::NoButton);
        return;
    }
    QWidget* element = f.Find<QWidget>(name.toLatin1().constData());
    if (auto* list = qobject_cast<QAbstractItemView*>(element)) {
        element = list->viewport();
    }
    MoveTo(element, element->rect().center(), Qt::NoButton);
}

} // namespace

class TestHoverPointer : public QObject {
    Q_OBJECT

private slots:
    void moveSetsWindowKind_data();
    void moveSetsWindowKind();
    void pointerShown_data();
    void pointerShown();
    void folderListMoveDuringDragLeavesListPointer();
};

void TestHoverPointer::moveSetsWindowKind_data() {
    QTest::addColumn<QString>("element");
    QTest::addColumn<PointerKind>("before");
    QTest::addColumn<PointerKind>("after");
    const PointerKind hand = PointerKind::Custom;
    const PointerKind none = PointerKind::Default;
    const PointerKind busy = PointerKind::Hourglass;
    for (const char* button : {"Check1", "Check2", "Check3", "Check6"}) {
        QTest::addRow("%s shows the hand", button) << button << none << hand;
        QTest::addRow("%s keeps the hourglass", button) << button << busy << busy;
    }
    for (const char* plain : {"Form1", "Text1", "ListView1"}) {
        QTest::addRow("%s shows the default", plain) << plain << hand << none;
        QTest::addRow("%s keeps the hourglass", plain) << plain << busy << busy;
    }
    for (const char* silent : {"Check4", "Check5", "Label1", "ListView2", "Command1"}) {
        QTest::addRow("%s leaves the hand", silent) << silent << hand << hand;
        QTest::addRow("%s leaves the default", silent) << silent << none << none;
    }
}

void TestHoverPointer::moveSetsWindowKind() {
    QFETCH(QString, element);
    QFETCH(PointerKind, before);
    QFETCH(PointerKind, after);
    FormFixture f;
    Form1& form = f.Load();
    form.show();
    form.SetMousePointer(before);
    // A point of the window's surface that no control covers: the top-left margin.
    MoveOver(f, element, {2, 2});
    QCOMPARE(form.MousePointer(), after);
}

void TestHoverPointer::pointerShown_data() {
    QTest::addColumn<bool>("withHandFile");
    QTest::newRow("hand from HAND-M.CUR") << true;
    QTest::newRow("desktop's hand without HAND-M.CUR") << false;
}

void TestHoverPointer::pointerShown() {
    QFETCH(bool, withHandFile);
    FormFixture f;
    if (withHandFile) {
        QVERIFY(QFile::copy(QStringLiteral(SCANVALE_POINTER_DIR "/HAND-M.CUR"),
                            f.pointerDir.filePath(QStringLiteral("HAND-M.CUR"))));
    }
    Form1& form = f.Load();
    form.show();
    auto* phrase = f.Find<QLineEdit>("Text1");

    MoveOver(f, "Check1");
    QCOMPARE(form.cursor().shape(), withHandFile ? Qt::BitmapCursor : Qt::PointingHandCursor);
    // The picture buttons have no pointer of their own: they show the window's.
    QVERIFY(!f.Find<QWidget>("Check1")->testAttribute(Qt::WA_SetCursor));

    form.SetMousePointer(PointerKind::Hourglass);
    QCOMPARE(form.cursor().shape(), Qt::WaitCursor);
    QCOMPARE(phrase->cursor().shape(), Qt::WaitCursor);
    form.SetMousePointer(PointerKind::Default);
    MoveOver(f, "Text1");
    QCOMPARE(phrase->cursor().shape(), Qt::IBeamCursor);
    QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);
}

void TestHoverPointer::folderListMoveDuringDragLeavesListPointer() {
    FormFixture f;
    QVERIFY(QFile::copy(QStringLiteral(SCANVALE_POINTER_DIR "/drag.ico"),
                        f.pointerDir.filePath(QStringLiteral("drag.ico"))));
    Form1& form = f.Load();
    form.show();
    auto* list = f.Find<QTreeWidget>("ListView1");
    Fill(*list, {"A", "B"});
    Press(*list, RowPoint(*list, 0));
    auto* drag = list->findChild<FolderListDrag*>();
    QCOMPARE(drag->MousePointer(), PointerKind::Custom);

    for (const PointerKind before : {PointerKind::Custom, PointerKind::Default}) {
        form.SetMousePointer(before);
        MoveTo(list->viewport(), RowPoint(*list, 0));
        QCOMPARE(form.MousePointer(), PointerKind::Default);
        QCOMPARE(drag->MousePointer(), PointerKind::Custom);
        QCOMPARE(list->viewport()->cursor().shape(), Qt::BitmapCursor);
    }
}

QTEST_MAIN(TestHoverPointer)
#include "tst_hover_pointer.moc"
