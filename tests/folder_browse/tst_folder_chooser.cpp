// The folder chooser behind "Add Folder to Search": what it offers, and the chosen folder's
// whole path in its exact bytes.

#include "browse_for_folder.h"
#include "exact_path.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>

class TestFolderChooser : public QObject {
    Q_OBJECT

private slots:
    void chooserCancel();
    void chooserReturnsWholePath();
    void chooserKeepsExactBytes();
};

void TestFolderChooser::chooserCancel() {
    QWidget owner;
    bool sawChooser = false;
    QTimer::singleShot(0, &owner, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        sawChooser = true;
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Pick one:"));
        QCOMPARE(dialog->fileMode(), QFileDialog::Directory);
        QVERIFY(dialog->testOption(QFileDialog::ShowDirsOnly));
        QCOMPARE(dialog->directory().absolutePath(), QDir::rootPath());
        QCOMPARE(dialog->parentWidget(), &owner);
        dialog->reject();
    });
    QCOMPARE(scanvale::BrowseForFolder(&owner, QStringLiteral("Pick one:")), QByteArray());
    QVERIFY(sawChooser);
}

void TestFolderChooser::chooserReturnsWholePath() {
    // Deeper than 259 characters: the path comes back whole, not cut at an old buffer size.
    QTemporaryDir base;
    QVERIFY(base.isValid());
    QString deep = base.path();
    while (deep.size() <= 300) {
        deep += QStringLiteral("/a_rather_long_folder_name");
    }
    QVERIFY(QDir().mkpath(deep));
    QWidget owner;
    QTimer::singleShot(0, &owner, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        dialog->setDirectory(deep);
        dialog->selectFile(deep);
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept is protected
    });
    QCOMPARE(scanvale::BrowseForFolder(&owner, QStringLiteral("Pick one:")),
             QFile::encodeName(deep));
}

void TestFolderChooser::chooserKeepsExactBytes() {
    // The chooser shows a name that is not UTF-8 with U+FFFD for each such byte; choosing it
    // gives the folder's exact bytes. Two names that read alike are never taken for each other.
    QTemporaryDir base;
    const QByteArray root = QFile::encodeName(base.path());
    const auto removeAll = qScopeGuard([&] { std::filesystem::remove_all(root.toStdString()); });
    for (const char* name : {"caf\xe9", "dup\xe8", "dup\xe9"}) {
        QVERIFY(std::filesystem::create_directory(root.toStdString() + '/' + name));
    }
    QWidget owner;
    QTimer::singleShot(0, &owner, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        dialog->setDirectory(base.path());
        dialog->selectFile(base.filePath(QStringLiteral("caf\uFFFD")));
        // Should the chooser refuse the name, its message box is closed and the chooser left.
        QTimer::singleShot(0, dialog, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                box->reject();
            }
        });
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept is protected
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
    QCOMPARE(scanvale::BrowseForFolder(&owner, QStringLiteral("Pick one:")), root + "/caf\xe9");
    QCOMPARE(scanvale::ExactPath(base.filePath(QStringLiteral("dup\uFFFD"))), QByteArray());
}

QTEST_MAIN(TestFolderChooser)
#include "tst_folder_chooser.moc"
