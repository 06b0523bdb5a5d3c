// The window as designed: frame, controls, fonts, pictures, tab order and first focus.

#include "form_fixture.h"

#include <QCheckBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <utility>

using scanvale::Form1;
using scanvale::test::FormFixture;

namespace {

bool AllTransparent(const QIcon& icon, int side) {
    const QImage image = icon.pixmap(side, side).toImage();
    if (image.isNull()) {
        return false;
    }
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) != 0) {
                return false;
            }
        }
    }
    return true;
}

// How many opaque pixels of the icon drawn at `side` pixels are close to `colour`.
int PixelsNear(const QIcon& icon, int side, QColor colour) {
    const QImage image = icon.pixmap(side, side).toImage();
    int near = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            near += c.alpha() == 255 && std::abs(c.red() - colour.red()) < 12 &&
                            std::abs(c.green() - colour.green()) < 12 &&
                            std::abs(c.blue() - colour.blue()) < 12
                        ? 1
                        : 0;
        }
    }
    return near;
}

// How many pixels of the widget's rendering are dark enough to be caption text.
int DarkPixels(QWidget& widget) {
    const QImage image = widget.grab().toImage();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            dark += qGray(image.pixel(x, y)) < 64 ? 1 : 0;
        }
    }
    return dark;
}

// The columns where the option's rendering changes when it is ticked: the tick box.
std::pair<int, int> TickColumns(QCheckBox& option) {
    const bool ticked = option.isChecked();
    option.setChecked(false);
    const QImage unticked = option.grab().toImage();
    option.setChecked(true);
    const QImage tickedImage = option.grab().toImage();
    option.setChecked(ticked);
    int left = unticked.width();
    int right = -1;
    for (int y = 0; y < unticked.height(); ++y) {
        for (int x = 0; x < unticked.width(); ++x) {
            if (unticked.pixel(x, y) != tickedImage.pixel(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return {left, right};
}

// How many pixels dark enough to be caption text lie in the columns before `end`.
int DarkPixelsBefore(QWidget& widget, int end) {
    const QImage image = widget.grab().toImage();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < std::min(end, image.width()); ++x) {
            dark += qGray(image.pixel(x, y)) < 64 ? 1 : 0;
        }
    }
    return dark;
}

} // namespace

class TestWindowLayout : public QObject {
    Q_OBJECT

private slots:
    void frame();
    void controls_data();
    void controls();
    void pictures();
    void listsAndTips();
    void firstFocusAndInertKeys();
    void tabOrder();
};

void TestWindowLayout::frame() {
    FormFixture f;
    QWidget& form = f.Create();
    QCOMPARE(form.windowTitle(), QStringLiteral("Form1"));
    QCOMPARE(form.size(), QSize(441, 428));
    QCOMPARE(form.minimumSize(), QSize(441, 428));
    QCOMPARE(form.maximumSize(), QSize(441, 428));
    const Qt::WindowFlags flags = form.windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(form.palette().color(QPalette::Window), QColor(Qt::white));
    QVERIFY(form.autoFillBackground());
    QVERIFY(AllTransparent(form.windowIcon(), 32));

    // Minimising and restoring leaves every control where it was.
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QRect before = f.Find<QWidget>("Check2")->geometry();
    form.showMinimized();
    form.showNormal();
    QCOMPARE(form.size(), QSize(441, 428));
    QCOMPARE(f.Find<QWidget>("Check2")->geometry(), before);

    // A frame drawn by the toolkit (Wayland) offers maximising regardless of the hints; the
    // window stays as it is.
    QList<Qt::WindowState> states;
    QObject::connect(form.windowHandle(), &QWindow::windowStateChanged,
                     [&](Qt::WindowState state) { states << state; });
    form.windowHandle()->setWindowStates(Qt::WindowMaximized);
    QTRY_VERIFY(!states.isEmpty() && states.last() == Qt::WindowNoState);
    QVERIFY(!form.isMaximized());
    QCOMPARE(form.size(), QSize(441, 428));
}

void TestWindowLayout::controls_data() {
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<double>("points"); // 0: the platform's default font
    QTest::addColumn<bool>("checkable");

    auto row = [](const char* name, const char* kind, const char* caption, QRect geometry,
                  double points, bool checkable) {
        QTest::newRow(name) << QString::fromLatin1(kind) << QString::fromLatin1(caption) << geometry
                            << points << checkable;
    };
    row("Check1", "scanvale::PictureButton", "Search!", {153, 128, 137, 81}, 11.25, false);
    row("Check6", "scanvale::PictureButton", "Clear Results", {8, 392, 425, 27}, 11.25, true);
    row("Text1", "QLineEdit", "Text1", {8, 240, 425, 19}, 9.0, false);
    row("Check5", "QCheckBox", "Search In Subfolders Also", {264, 222, 169, 17}, 9.0, true);
    row("Check4", "QCheckBox", "Match Case", {168, 222, 89, 17}, 9.0, true);
    row("Check3", "scanvale::PictureButton", "Add Folder to Search", {8, 128, 137, 81}, 11.25,
        true);
    row("Command1", "QPushButton", "Command1", {-48, 176, 41, 33}, 0.0, false);
    row("Check2", "scanvale::PictureButton", "Save Results To Text File", {299, 128, 133, 81},
        11.25, true);
    row("ListView1", "QTreeWidget", "", {8, 8, 425, 113}, 9.0, false);
    row("ListView2", "QTableView", "", {8, 264, 425, 121}, 9.0, false);
    row("Line1", "QFrame", "", {8, 216, 424, 1}, 0.0, false);
    row("Label1", "QLabel", " Search for what phrase:", {8, 222, 145, 17}, 9.0, false);
}

void TestWindowLayout::controls() {
    QFETCH(QString, className);
    QFETCH(QString, caption);
    QFETCH(QRect, geometry);
    QFETCH(double, points);
    QFETCH(bool, checkable);

    FormFixture f;
    f.Create();
    const QByteArray name = QTest::currentDataTag();
    auto* control = f.Find<QWidget>(name.constData());
    QVERIFY2(control != nullptr, name.constData());
    QCOMPARE(QString::fromLatin1(control->metaObject()->className()), className);
    QCOMPARE(control->geometry(), geometry);
    QVERIFY(control->isVisibleTo(f.form.get()));
    QVERIFY(control->isEnabled());
    QVERIFY(!control->accessibleName().isEmpty());

    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        QCOMPARE(button->text(), caption);
        QCOMPARE(button->isCheckable(), checkable);
        QVERIFY(!button->isChecked());
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        QCOMPARE(edit->text(), caption);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        QCOMPARE(label->text(), caption);
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        QVERIFY(!label->hasScaledContents());
        QVERIFY(label->autoFillBackground());
    }

    if (points > 0.0) {
        QCOMPARE(control->font().family(), QStringLiteral("Arial"));
        QCOMPARE(control->font().pointSizeF(), points);
        QCOMPARE(control->font().weight(), QFont::Bold);
        QVERIFY(!control->font().italic());
        QVERIFY(!control->font().underline());
    } else if (qobject_cast<QPushButton*>(control) != nullptr) {
        QCOMPARE(control->font(), QApplication::font(control));
    }
}

void TestWindowLayout::pictures() {
    FormFixture f;
    f.Create();
    // Each picture shows its own colour (none for the blank one of "Clear Results").
    struct Expected {
        const char* name;
        int side;
        QColor colour;
    };
    for (const Expected& e : {Expected{"Check1", 24, QColor(242, 140, 30)}, // orange handle
                              Expected{"Check3", 32, QColor(255, 211, 77)}, // yellow folder
                              Expected{"Check2", 32, QColor(47, 111, 214)}, // blue disk
                              Expected{"Check6", 32, QColor()}}) {
        auto* button = f.Find<QToolButton>(e.name);
        QCOMPARE(button->iconSize(), QSize(e.side, e.side));
        QVERIFY2(!button->icon().pixmap(e.side, e.side).isNull(), e.name);
        QCOMPARE(AllTransparent(button->icon(), e.side), !e.colour.isValid());
        if (e.colour.isValid()) {
            QVERIFY2(PixelsNear(button->icon(), e.side, e.colour) >= e.side * e.side / 200, e.name);
        }
        QCOMPARE(button->palette().color(QPalette::Button), QColor(Qt::white));
        // The caption is drawn, also on the low "Clear Results" button.
        QVERIFY2(DarkPixels(*button) > 50, e.name);
    }
    // The options carry their tick box at their right edge, the caption to its left.
    for (const char* name : {"Check4", "Check5"}) {
        auto* option = f.Find<QCheckBox>(name);
        const auto [left, right] = TickColumns(*option);
        QVERIFY2(left > option->width() / 2 && right >= option->width() - 20, name);
        QVERIFY2(DarkPixelsBefore(*option, left) > 50, name);
    }
}

void TestWindowLayout::listsAndTips() {
    FormFixture f;
    f.Create();
    const QString tip = QStringLiteral("Double-click item to remove it. Move bar to right and "
                                       "out of window to reveal full names.");
    auto* folders = f.Find<QTreeWidget>("ListView1");
    auto* results = f.Find<QTableView>("ListView2");
    for (QAbstractItemView* list :
         {static_cast<QAbstractItemView*>(folders), static_cast<QAbstractItemView*>(results)}) {
        QCOMPARE(list->toolTip(), tip);
        QCOMPARE(list->model()->rowCount(), 0);
        QCOMPARE(list->model()->columnCount(), 0);
        QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(list->textElideMode(), Qt::ElideRight);
        QVERIFY(!list->tabKeyNavigation());
    }
    QVERIFY(!folders->isHeaderHidden());
    QVERIFY(!folders->rootIsDecorated());
    // The results list reads as a list with one header, as the folder list does.
    QVERIFY(!results->horizontalHeader()->isHidden());
    QVERIFY(results->verticalHeader()->isHidden());
    QVERIFY(!results->showGrid());
    QVERIFY(!results->wordWrap());
    QCOMPARE(results->horizontalHeader()->defaultAlignment(),
             folders->header()->defaultAlignment());
    QVERIFY(!results->horizontalHeader()->stretchLastSection());
    QCOMPARE(results->accessibleName(), QStringLiteral("Results list"));
    for (const char* name : {"Check1", "Check2", "Check3", "Check4", "Check5", "Check6", "Text1",
                             "Label1", "Command1"}) {
        QVERIFY2(f.Find<QWidget>(name)->toolTip().isEmpty(), name);
    }
}

void TestWindowLayout::firstFocusAndInertKeys() {
    FormFixture f;
    Form1& form = f.Load();
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    auto* command1 = f.Find<QPushButton>("Command1");
    QTRY_COMPARE(QApplication::focusWidget(), command1);
    QVERIFY(!command1->isDefault());

    QTest::keyClick(command1, Qt::Key_Return);
    QTest::keyClick(command1, Qt::Key_Enter);
    QTest::keyClick(command1, Qt::Key_Space);
    QCOMPARE(QApplication::focusWidget(), command1);
    QVERIFY(f.dialogs.calls.isEmpty());
    for (const char* name : {"Check2", "Check3", "Check4", "Check5", "Check6"}) {
        QVERIFY2(!f.Find<QAbstractButton>(name)->isChecked(), name);
    }
    QCOMPARE(f.Find<QTreeWidget>("ListView1")->topLevelItemCount(), 0);
    QVERIFY(f.Find<QLineEdit>("Text1")->text().isEmpty());
}

void TestWindowLayout::tabOrder() {
    FormFixture f;
    Form1& form = f.Load();
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTRY_COMPARE(QApplication::focusWidget(), f.Find<QWidget>("Command1"));

    const QStringList expected{"Check2", "ListView1", "Check3", "ListView2", "Check4",
                               "Check5", "Text1",     "Check6", "Check1",    "Command1"};
    QStringList walked;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(walked, expected);
}

QTEST_MAIN(TestWindowLayout)
#include "tst_window_layout.moc"
