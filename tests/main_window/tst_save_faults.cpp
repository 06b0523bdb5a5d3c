// "Save Results To Text File" when the file cannot be written: the reason is reported, no
// "Done." is shown, the old file stays as it was and nothing is left behind.

#include "save_fixture.h"
#include "scratch_mount.h"

#include <QAbstractButton>
#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using scanvale::Dialogs;
using scanvale::PointerKind;
using namespace scanvale::test;
using Call = ScriptedDialogs::Call;

namespace {

enum class Fault { Folder, Pipe, DeviceNode, MissingFolder, ReadOnlyFolder, FullDisk, LongLine };

} // namespace

Q_DECLARE_METATYPE(Fault)

class TestSaveFaults : public QObject {
    Q_OBJECT

private slots:
    void failure_data();
    void failure();
};

void TestSaveFaults::failure_data() {
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("reason"); // expected within the message; empty: any clear reason
    QTest::newRow("name is a folder") << Fault::Folder << "it is a folder";
    QTest::newRow("name is a pipe") << Fault::Pipe << "it is not a regular file";
    QTest::newRow("name is a device node") << Fault::DeviceNode << "it is not a regular file";
    QTest::newRow("folder is missing") << Fault::MissingFolder << "No such file or directory";
    QTest::newRow("folder is read-only") << Fault::ReadOnlyFolder << QString();
    QTest::newRow("disk fills up") << Fault::FullDisk << "No space left on device";
    QTest::newRow("disk fills up within one line") << Fault::LongLine << "No space left on device";
}

void TestSaveFaults::failure() {
    QFETCH(Fault, fault);
    QFETCH(QString, reason);
    // A disk to fill, or (for root, whom permission bits do not stop) a folder to make
    // read-only, is a scratch tmpfs; the other faults need only a temporary folder.
    const bool root = ::geteuid() == 0;
    const bool needsMount = fault == Fault::FullDisk || fault == Fault::LongLine ||
                            (fault == Fault::ReadOnlyFolder && root);
    std::optional<ScratchMount> mount;
    QTemporaryDir plain;
    if (needsMount) {
        mount.emplace(64);
        if (!mount->Ok()) {
            QSKIP(qPrintable(QStringLiteral("needs a scratch tmpfs: ") + mount->Error()));
        }
    }
    const QString base = needsMount ? mount->Path() : plain.path();
    const QByteArray old("old results\r\n");
    QString target = QDir(base).filePath(QStringLiteral("results.txt"));
    const auto writable = qScopeGuard([&] {
        QFile::setPermissions(base, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    QList<QByteArray> paths{"/one", "/two"};
    switch (fault) {
    case Fault::Folder:
        QVERIFY(QDir().mkdir(target));
        break;
    case Fault::Pipe:
        QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0644), 0);
        break;
    case Fault::DeviceNode:
        // A node of its own, the same kind as /dev/full, in the test's own folder.
        if (::mknod(QFile::encodeName(target).constData(), S_IFCHR | 0666, makedev(1, 7)) != 0) {
            QSKIP("making a device node is not permitted here");
        }
        break;
    case Fault::MissingFolder:
        target = QDir(base).filePath(QStringLiteral("gone/results.txt"));
        break;
    case Fault::ReadOnlyFolder:
        QVERIFY(WriteBytes(target, old));
        if (root) {
            if (!mount->MakeReadOnly()) {
                QSKIP(qPrintable(mount->Error()));
            }
        } else {
            QVERIFY(QFile::setPermissions(base, QFile::ReadOwner | QFile::ExeOwner));
        }
        break;
    case Fault::FullDisk:
        QVERIFY(WriteBytes(target, old));
        paths = QList<QByteArray>(2000, QByteArray(100, 'p'));
        break;
    case Fault::LongLine:
        QVERIFY(WriteBytes(target, old));
        paths = {QByteArray(200 * 1024, 'p')};
        break;
    }
    const QStringList entriesBefore = Entries(base);
    SaveFixture f(paths);
    f.dialogs.saveNames.enqueue(target);
    f.dialogs.answers.enqueue(Dialogs::Answer::Yes);

    QTest::mouseClick(f.save, Qt::LeftButton);

    const QStringList messages = f.Messages();
    QVERIFY2(!messages.contains(QStringLiteral("Done.")), qPrintable(messages.join('|')));
    const Call& report = f.dialogs.calls.back();
    const QString prefix = QStringLiteral("Could not save the results to ") + target + ": ";
    QVERIFY2(report.text.startsWith(prefix) && report.text.endsWith('.') &&
                 report.text.size() > prefix.size() + 1,
             qPrintable(report.text));
    QVERIFY2(!report.text.contains(QStringLiteral("Unknown error")), qPrintable(report.text));
    QVERIFY2(report.text.contains(reason), qPrintable(report.text));
    QCOMPARE(report.title, QStringLiteral("Scanvale"));
    QCOMPARE(report.icon, Dialogs::Icon::Warning);
    QCOMPARE(report.buttons, Dialogs::Buttons::Ok);
    QCOMPARE(f.pointers, (QList<PointerKind>{PointerKind::Hourglass, PointerKind::Default}));
    QCOMPARE(Entries(base), entriesBefore);
    QCOMPARE(OpenFilesIn(base), 0);
    if (fault == Fault::ReadOnlyFolder || fault == Fault::FullDisk || fault == Fault::LongLine) {
        QCOMPARE(ReadBytes(target), old);
    }
}

QTEST_MAIN(TestSaveFaults)
#include "tst_save_faults.moc"
