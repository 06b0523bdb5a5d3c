// The toolkit dialogs behind the Dialogs seam: message boxes and the save dialog.

#include "qt_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using scanvale::Dialogs;
using scanvale::QtDialogs;

Q_DECLARE_METATYPE(Dialogs::Buttons)
Q_DECLARE_METATYPE(Dialogs::Answer)
Q_DECLARE_METATYPE(QMessageBox::StandardButton)

class TestQtDialogs : public QObject {
    Q_OBJECT

private slots:
    void messageBox_data();
    void messageBox();
    void saveDialog_data();
    void saveDialog();
    void saveDialogChoicesList();
};

namespace {

// The names that the dialog's view lists, in name order; a name that cannot be chosen is
// marked "(disabled)".
QStringList Listed(const QListView& view) {
    QStringList names;
    const QAbstractItemModel& model = *view.model();
    for (int row = 0; row < model.rowCount(view.rootIndex()); ++row) {
        const QModelIndex index = model.index(row, 0, view.rootIndex());
        names << index.data().toString() + (index.flags().testFlag(Qt::ItemIsEnabled)
                                                ? QString()
                                                : QStringLiteral(" (disabled)"));
    }
    names.sort();
    return names;
}

} // namespace

void TestQtDialogs::messageBox_data() {
    QTest::addColumn<Dialogs::Buttons>("buttons");
    QTest::addColumn<QMessageBox::StandardButton>("press");
    QTest::addColumn<Dialogs::Answer>("answer");
    QTest::newRow("OK box") << Dialogs::Buttons::Ok << QMessageBox::Ok << Dialogs::Answer::Ok;
    QTest::newRow("Yes") << Dialogs::Buttons::YesNo << QMessageBox::Yes << Dialogs::Answer::Yes;
    QTest::newRow("No") << Dialogs::Buttons::YesNo << QMessageBox::No << Dialogs::Answer::No;
}

void TestQtDialogs::messageBox() {
    QFETCH(Dialogs::Buttons, buttons);
    QFETCH(QMessageBox::StandardButton, press);
    QFETCH(Dialogs::Answer, answer);
    QWidget owner;
    bool sawBox = false;
    QTimer::singleShot(0, &owner, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box != nullptr);
        sawBox = true;
        QCOMPARE(box->windowTitle(), QStringLiteral("Scanvale"));
        QCOMPARE(box->text(), QStringLiteral("Done."));
        QCOMPARE(box->icon(), QMessageBox::NoIcon);
        QCOMPARE(box->parentWidget(), &owner);
        const bool yesNo = buttons == Dialogs::Buttons::YesNo;
        QCOMPARE(box->standardButtons(),
                 yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
        QCOMPARE(box->defaultButton(), box->button(yesNo ? QMessageBox::Yes : QMessageBox::Ok));
        box->button(press)->click();
    });
    QtDialogs dialogs;
    QCOMPARE(dialogs.ShowMessage(&owner, QStringLiteral("Done."), QStringLiteral("Scanvale"),
                                 Dialogs::Icon::None, buttons),
             answer);
    QVERIFY(sawBox);
}

void TestQtDialogs::saveDialog_data() {
    QTest::addColumn<QString>("typed"); // empty: the user cancels
    QTest::newRow("cancel gives nothing") << QString();
    QTest::newRow("name without extension stays so") << QStringLiteral("results");
    QTest::newRow("existing file asks nothing") << QStringLiteral("old.txt");
}

void TestQtDialogs::saveDialog() {
    QFETCH(QString, typed);
    QTemporaryDir dir;
    QFile old(dir.filePath(QStringLiteral("old.txt")));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.close();
    const QStringList filters{QStringLiteral("Text Files (*.txt)"),
                              QStringLiteral("All Files (*.*)")};
    const QString chosen = typed.isEmpty() ? QString() : dir.filePath(typed);
    QWidget owner;
    bool sawDialog = false;
    QTimer::singleShot(0, &owner, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        sawDialog = true;
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Save List"));
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(dialog->nameFilters(), filters);
        QCOMPARE(dialog->selectedNameFilter(), filters.front());
        QVERIFY(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        QVERIFY(dialog->defaultSuffix().isEmpty());
        if (chosen.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->setDirectory(dir.path());
        dialog->selectFile(chosen);
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept is protected
    });
    QtDialogs dialogs;
    QCOMPARE(dialogs.SaveFileName(&owner, QStringLiteral("Save List"), filters), chosen);
    QVERIFY(sawDialog);
    // A confirmation box of the dialog's own would have been left open.
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void TestQtDialogs::saveDialogChoicesList() {
    // "Text Files" lists the .txt files, "All Files" every file, also those without a dot, so
    // a list saved as "results" can be found and chosen again to be overwritten. Choosing "All
    // Files" leaves the typed name as it is.
    QTemporaryDir dir;
    for (const char* name : {"notes.txt", "results", "data.csv"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    const QStringList filters{QStringLiteral("Text Files (*.txt)"),
                              QStringLiteral("All Files (*.*)")};
    const QStringList textFiles{"folder", "notes.txt"};
    const QStringList allFiles{"data.csv", "folder", "notes.txt", "results"};
    QWidget owner;
    bool checked = false;
    QTimer::singleShot(0, &owner, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        const auto close = qScopeGuard([dialog] {
            if (dialog->isVisible()) {
                dialog->reject();
            }
        });
        auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(view != nullptr && types != nullptr && name != nullptr);
        dialog->setDirectory(dir.path());
        QTRY_COMPARE(Listed(*view), textFiles);

        QTest::keyClicks(name, QStringLiteral("list.txt"));
        types->setFocus();
        QTest::keyClick(types, Qt::Key_Down);
        QCOMPARE(dialog->selectedNameFilter(), filters.back());
        QTRY_COMPARE(Listed(*view), allFiles);
        QCOMPARE(name->text(), QStringLiteral("list.txt"));
        QTest::keyClick(types, Qt::Key_Up);
        QTRY_COMPARE(Listed(*view), textFiles);
        QTest::keyClick(types, Qt::Key_Down);
        QTRY_COMPARE(Listed(*view), allFiles);

        const QModelIndex results = view->model()->index(
            static_cast<int>(allFiles.indexOf(QStringLiteral("results"))), 0, view->rootIndex());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(results).center());
        QCOMPARE(name->text(), QStringLiteral("results"));
        checked = true;
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept is protected
    });
    QtDialogs dialogs;
    QCOMPARE(dialogs.SaveFileName(&owner, QStringLiteral("Save List"), filters),
             dir.filePath(QStringLiteral("results")));
    QVERIFY(checked);
}

QTEST_MAIN(TestQtDialogs)
#include "tst_qt_dialogs.moc"
