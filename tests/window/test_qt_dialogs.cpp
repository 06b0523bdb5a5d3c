// The toolkit dialogs behind the Dialogs seam: message boxes and the save dialog.

#include "qt_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
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
};

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

QTEST_MAIN(TestQtDialogs)
#include "test_qt_dialogs.moc"
