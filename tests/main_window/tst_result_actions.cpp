// Acting on a result: the context menu and what its entries do, Enter, Ctrl+C, showing a file
// in its folder with and without a file manager, failures told to the user, and all of it
// inside the yields of a search, and a result on a file system that stopped answering. The desktop
// is stood in for: an xdg-open first on PATH records each URL it is asked to open (and fails for
// names ending in .xyz), and the session bus is a private one, on which a test may offer a file
// manager of its own.

#include "desktop_opener.h"
#include "form_fixture.h"
#include "list_mouse.h"
#include "results_model.h"
#include "stalled_mount.h"
#include "tree_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

using scanvale::PointerKind;
using namespace scanvale::test;

namespace {

// A session bus of the test's own, with no services to start on demand, so no file manager of
// the machine's can answer. The bus ends with the test process, also when that crashes.
class PrivateSessionBus {
public:
    PrivateSessionBus() {
        const QString config = dir_.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly)) {
            return;
        }
        file.write(
            "<busconfig><type>session</type><listen>unix:dir=" + QFile::encodeName(dir_.path()) +
            "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
            "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/><allow own=\"*\"/>"
            "</policy></busconfig>");
        file.close();
        const QByteArray configArgument = "--config-file=" + QFile::encodeName(config);
        int out[2];
        if (::pipe(out) != 0) {
            return;
        }
        const pid_t parent = ::getpid();
        pid_ = ::fork();
        if (pid_ == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (::getppid() != parent) {
                ::_exit(1);
            }
            ::dup2(out[1], STDOUT_FILENO);
            ::execlp("dbus-daemon", "dbus-daemon", "--nofork", "--print-address=1",
                     configArgument.constData(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        char line[512] = {};
        if (pid_ > 0 && ::read(out[0], line, sizeof line - 1) > 0) {
            address_ = QByteArray(line).trimmed();
        }
        ::close(out[0]);
    }
    ~PrivateSessionBus() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    QByteArray Address() const { return address_; }

private:
    QTemporaryDir dir_;
    QByteArray address_;
    pid_t pid_ = -1;
};

// The stand-in opener: a folder holding an xdg-open that appends its argument to a record.
class StandInOpener {
public:
    StandInOpener() {
        QFile script(dir_.filePath(QStringLiteral("xdg-open")));
        if (script.open(QIODevice::WriteOnly)) {
            script.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >>'" + QFile::encodeName(Record()) +
                         "'\ncase \"$1\" in *.xyz) exit 4 ;; esac\n");
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    }
    QString Folder() const { return dir_.path(); }
    QString Record() const { return dir_.filePath(QStringLiteral("opened")); }

private:
    QTemporaryDir dir_;
};

const StandInOpener* opener = nullptr;
QByteArray busAddress;

// The URLs the stand-in was asked to open, once every lookup the window asked for has answered
// and every opener it started has ended.
QStringList Opened(const QObject& form) {
    const auto idle = [&] {
        const auto openers = form.findChildren<scanvale::DesktopOpener*>();
        return form.findChildren<QProcess*>().isEmpty() &&
               std::none_of(openers.begin(), openers.end(),
                            [](const scanvale::DesktopOpener* o) { return o->LookingUp(); });
    };
    if (!QTest::qWaitFor(idle, 10000)) {
        return {QStringLiteral("(an opener still runs)")};
    }
    QFile record(opener->Record());
    if (!record.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromLatin1(record.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// A file manager on the private bus that records what it is asked to show.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QList<QStringList> shown;

public slots:
    void ShowItems(const QStringList& uris, const QString& /*startupId*/) { shown << uris; }
};

// A shown window whose results are three files that exist: a plain name, a name that is not
// UTF-8 and holds a blank and a '#', and a name no application opens.
struct ActionsFixture : FormFixture {
    TestTree files; // removes the name that is not UTF-8 too
    QString folder = QString::fromStdString(files.Root());
    QTableView* results = nullptr;
    const QList<QByteArray> names{"report.txt", "caf\xe9 #1.txt", "notes.xyz"};

    ActionsFixture() {
        QFile::remove(opener->Record());
        Load().show();
        results = Find<QTableView>("ListView2");
        for (const QByteArray& name : names) {
            // Made through the bytes: a name that is not UTF-8 does not survive a QString.
            scanvale::RowsOf(*results).Append(
                {QByteArray::fromStdString(files.Write(name.toStdString(), "text\n"))});
        }
    }
    QByteArray Path(const QByteArray& name) const {
        return QByteArray::fromStdString(files.Path(name.toStdString()));
    }
    // The file URL as a file manager or the opener receives it, spelled out by hand.
    QString Url(const char* encodedName) const {
        return QStringLiteral("file://") + folder + QLatin1Char('/') +
               QString::fromLatin1(encodedName);
    }
    void Select(int row) {
        results->clearSelection();
        if (row >= 0) {
            results->selectRow(row);
        }
    }
    void RightClick(QPoint at) {
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, results->viewport()->mapToGlobal(at));
        QApplication::sendEvent(results->viewport(), &click);
    }
    void MenuKey() { // as the window system delivers it: to the focus widget
        QContextMenuEvent key(QContextMenuEvent::Keyboard, {}, results->mapToGlobal(QPoint()));
        QApplication::sendEvent(results, &key);
    }
    // The menu that is open, or nullptr.
    static QMenu* OpenMenu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }
    // Chooses an entry of the open menu as the user would.
    static bool Choose(const QString& entry) {
        QMenu* menu = OpenMenu();
        if (menu == nullptr) {
            return false;
        }
        for (QAction* action : menu->actions()) {
            if (action->text() == entry) {
                menu->setActiveAction(action);
                QTest::keyClick(menu, Qt::Key_Return);
                return true;
            }
        }
        return false;
    }
    static QByteArray Clipboard(const char* format) {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        return data != nullptr ? data->data(QString::fromLatin1(format)) : QByteArray();
    }
};

} // namespace

class TestResultActions : public QObject {
    Q_OBJECT

private slots:
    void menu_data();
    void menu();
    void copyKeyCopiesExactPath_data();
    void copyKeyCopiesExactPath();
    void enterOpensDoubleClickDoesNot();
    void containingFolder_data();
    void containingFolder();
    void failureIsTold_data();
    void failureIsTold();
    void actionsInsideSearchYields();
    void openDoesNotWaitForAStalledLookup();
};

void TestResultActions::menu_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("selected"); // the row selected beforehand, -1: none
    QTest::addColumn<int>("row");      // the row the menu is for, -1: no menu
    QTest::newRow("right-click on a result") << "right-click" << 0 << 1;
    QTest::newRow("right-click below the results") << "right-click" << 1 << -1;
    QTest::newRow("menu key on the selected result") << "menu key" << 1 << 1;
    QTest::newRow("Shift+F10 on the selected result") << "Shift+F10" << 2 << 2;
    QTest::newRow("menu key without a selection") << "menu key" << -1 << -1;
}

void TestResultActions::menu() {
    QFETCH(QString, how);
    QFETCH(int, selected);
    QFETCH(int, row);
    ActionsFixture f;
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    f.form->SetMousePointer(PointerKind::Custom);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    const QStringList texts = Texts(*f.results);
    f.Select(selected);
    f.results->setFocus();

    if (how == "right-click") {
        f.RightClick(row >= 0 ? RowPoint(*f.results, row)
                              : QPoint(20, f.results->viewport()->height() - 2));
    } else if (how == "menu key") {
        f.MenuKey();
    } else {
        QTest::keyClick(f.results, Qt::Key_F10, Qt::ShiftModifier);
    }

    if (row < 0) {
        QCOMPARE(ActionsFixture::OpenMenu(), nullptr);
    } else {
        QVERIFY(ActionsFixture::OpenMenu() != nullptr);
        QStringList entries;
        for (const QAction* action : ActionsFixture::OpenMenu()->actions()) {
            entries << action->text();
        }
        QCOMPARE(entries, (QStringList{"Open", "Open Containing Folder", "Copy Path"}));
        QVERIFY(ActionsFixture::Choose(QStringLiteral("Copy Path")));
        QTRY_COMPARE(ActionsFixture::OpenMenu(), nullptr);
    }
    QCOMPARE(ActionsFixture::Clipboard("text/plain"),
             row < 0 ? QByteArray("before") : f.Path(f.names[row]));
    QCOMPARE(Texts(*f.results), texts);
    QCOMPARE(f.form->MousePointer(), PointerKind::Custom);
    QCOMPARE(Opened(*f.form), QStringList());
}

void TestResultActions::copyKeyCopiesExactPath_data() {
    QTest::addColumn<int>("row"); // -1: none selected
    QTest::addColumn<QString>("url");
    QTest::newRow("a UTF-8 name") << 0 << "report.txt";
    QTest::newRow("a name that is not UTF-8, with a blank and a #") << 1 << "caf%E9%20%231.txt";
    QTest::newRow("no result selected: the clipboard is left alone") << -1 << "";
}

void TestResultActions::copyKeyCopiesExactPath() {
    QFETCH(int, row);
    QFETCH(QString, url);
    ActionsFixture f;
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    f.Select(row);
    // A current result without a selection is not copied either.
    f.results->selectionModel()->setCurrentIndex(f.results->model()->index(0, 0),
                                                 QItemSelectionModel::NoUpdate);

    QTest::keyClick(f.results, Qt::Key_C, Qt::ControlModifier);

    if (row < 0) {
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        return;
    }
    QCOMPARE(ActionsFixture::Clipboard("text/plain"), f.Path(f.names[row]));
    QCOMPARE(ActionsFixture::Clipboard("text/uri-list"),
             f.Url(url.toLatin1().constData()).toLatin1() + "\r\n");
}

void TestResultActions::enterOpensDoubleClickDoesNot() {
    ActionsFixture f;
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    // The openers run side by side, so each is let finish before the next is asked for: the
    // record then holds the requests in the order they were made.
    DoubleClick(f.results->viewport(), RowPoint(*f.results, 0));
    QCOMPARE(Opened(*f.form), QStringList());
    QTest::keyClick(f.results, Qt::Key_Return); // the double-click selected row 0
    QCOMPARE(Opened(*f.form), QStringList{f.Url("report.txt")});
    f.Select(1);
    QTest::keyClick(f.results, Qt::Key_Enter, Qt::KeypadModifier);
    f.Select(-1);
    QTest::keyClick(f.results, Qt::Key_Return);
    QCOMPARE(Opened(*f.form), (QStringList{f.Url("report.txt"), f.Url("caf%E9%20%231.txt")}));
    f.RightClick(RowPoint(*f.results, 0));
    QVERIFY(ActionsFixture::Choose(QStringLiteral("Open")));

    QCOMPARE(Opened(*f.form),
             (QStringList{f.Url("report.txt"), f.Url("caf%E9%20%231.txt"), f.Url("report.txt")}));
    QCOMPARE(f.dialogs.calls.size(), 0);
}

void TestResultActions::containingFolder_data() {
    QTest::addColumn<bool>("fileManager");
    QTest::newRow("a file manager shows the file in its folder") << true;
    QTest::newRow("without a file manager the folder is opened") << false;
}

void TestResultActions::containingFolder() {
    QFETCH(bool, fileManager);
    ActionsFixture f;
    FakeFileManager manager;
    const QString connection = QStringLiteral("file manager");
    {
        QDBusConnection bus =
            QDBusConnection::connectToBus(QString::fromLatin1(busAddress), connection);
        QVERIFY(bus.isConnected());
        if (fileManager) {
            QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &manager,
                                       QDBusConnection::ExportAllSlots));
            QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.FileManager1")));
        }
    }
    const auto closeBus = qScopeGuard([&] { QDBusConnection::disconnectFromBus(connection); });
    f.RightClick(RowPoint(*f.results, 1));

    QVERIFY(ActionsFixture::Choose(QStringLiteral("Open Containing Folder")));

    if (fileManager) {
        QTRY_COMPARE(manager.shown, QList<QStringList>{{f.Url("caf%E9%20%231.txt")}});
        QCOMPARE(Opened(*f.form), QStringList());
    } else {
        QTRY_COMPARE(Opened(*f.form), QStringList{QStringLiteral("file://") + f.folder});
    }
    QCOMPARE(f.dialogs.calls.size(), 0);
}

void TestResultActions::failureIsTold_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("removed"); // the file is deleted after it was listed
    QTest::addColumn<QString>("message");
    QTest::newRow("no application for the file")
        << 2 << false << "notes.xyz: no application could open it.";
    QTest::newRow("a file gone since it was listed")
        << 1 << true << "caf\\xe9 #1.txt: No such file or directory.";
}

void TestResultActions::failureIsTold() {
    QFETCH(int, row);
    QFETCH(bool, removed);
    QFETCH(QString, message);
    ActionsFixture f;
    if (removed) {
        QCOMPARE(::unlink(f.Path(f.names[row]).constData()), 0);
    }
    f.Select(row);

    QTest::keyClick(f.results, Qt::Key_Return);

    QTRY_COMPARE(f.dialogs.calls.size(), 1);
    const ScriptedDialogs::Call& call = f.dialogs.calls.front();
    QCOMPARE(call.text, QStringLiteral("Could not open ") + f.folder + QLatin1Char('/') + message);
    QCOMPARE(call.title, QStringLiteral("Scanvale"));
    QCOMPARE(call.icon, scanvale::Dialogs::Icon::Warning);
    QCOMPARE(call.owner, f.form.get());
    QCOMPARE(Texts(*f.results).size(), 3);
}

void TestResultActions::actionsInsideSearchYields() {
    // Two folders with a match each; once the first match is listed, the user selects it,
    // presses Enter and Ctrl+C and copies it again through the menu, inside the run's yield.
    TestTree tree;
    tree.Write("A/match.txt", "a needle");
    tree.Write("B/match.txt", "a needle");
    FormFixture f;
    f.Load().show();
    auto* results = f.Find<QTableView>("ListView2");
    f.AddFolders({QString::fromStdString(tree.Path("A")), QString::fromStdString(tree.Path("B"))});
    f.Find<QLineEdit>("Text1")->setText(QStringLiteral("needle"));
    QFile::remove(opener->Record());
    bool acted = false;
    connect(results->model(), &QAbstractItemModel::rowsInserted, this, [&] {
        if (acted) {
            return;
        }
        acted = true;
        QMetaObject::invokeMethod(
            f.form.get(),
            [&] {
                results->selectRow(0);
                QTest::keyClick(results, Qt::Key_Return);
                QTest::keyClick(results, Qt::Key_C, Qt::ControlModifier);
            },
            Qt::QueuedConnection);
    });

    QTest::mouseClick(f.Find<QWidget>("Check1"), Qt::LeftButton);

    QVERIFY(acted);
    const QString first = QString::fromStdString(tree.Path("A/match.txt"));
    QCOMPARE(Texts(*results),
             (QStringList{first, QString::fromStdString(tree.Path("B/match.txt"))}));
    QCOMPARE(f.dialogs.calls.size(), 1);
    QCOMPARE(f.dialogs.calls.front().text, QStringLiteral("Done."));
    QCOMPARE(Opened(*f.form), QStringList{QStringLiteral("file://") + first});
    QCOMPARE(QGuiApplication::clipboard()->text(), first);
}

// A result on a file system that stopped answering (a dead network share): Enter returns at
// once and the result is opened once the lookup answers; an opener that went away meanwhile
// is not called back.
void TestResultActions::openDoesNotWaitForAStalledLookup() {
    StalledMount mount;
    if (!mount.Ok()) {
        QSKIP(qPrintable(mount.Error()));
    }
    const std::string stalled = mount.Path("lookup-stalls");
    ActionsFixture f;
    scanvale::RowsOf(*f.results).Append({QByteArray::fromStdString(stalled)});
    f.Select(3);
    QElapsedTimer pressed;
    pressed.start();

    QTest::keyClick(f.results, Qt::Key_Return);

    const double ms = static_cast<double>(pressed.nsecsElapsed()) / 1e6;
    QVERIFY2(ms < StopBoundMs, qPrintable(QString::number(ms)));
    QTRY_VERIFY(mount.LookupStalled());
    bool calledBack = false;
    auto gone = std::make_unique<scanvale::DesktopOpener>(
        [&](const QByteArray&, const QString&) { calledBack = true; });
    gone->Open(QByteArray::fromStdString(mount.Path("lookup-stalls/none")));
    gone.reset();
    mount.Release();
    QCOMPARE(Opened(*f.form),
             QStringList{QStringLiteral("file://") + QString::fromStdString(stalled)});
    QCOMPARE(f.dialogs.calls.size(), 0);
    QVERIFY(!calledBack);
}

int main(int argc, char** argv) {
    // Both stand-ins are in place before the application exists, so that nothing of the
    // toolkit's reaches the real session bus or a real opener.
    const PrivateSessionBus bus;
    const StandInOpener standIn;
    if (bus.Address().isEmpty()) {
        std::fputs("FAIL: could not start a private dbus-daemon\n", stderr);
        return 1;
    }
    busAddress = bus.Address();
    opener = &standIn;
    qputenv("DBUS_SESSION_BUS_ADDRESS", busAddress);
    qputenv("PATH", QFile::encodeName(standIn.Folder()) + ':' + qgetenv("PATH"));
    QApplication app(argc, argv);
    TestResultActions test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_result_actions.moc"
