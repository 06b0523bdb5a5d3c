// "Save Results To Text File": the dialogs asked, the bytes written, the pointer, and what
// happens when the list changes or the window closes in the middle of a save.

#include "qt_dialogs.h"
#include "results_model.h"
#include "save_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using scanvale::Dialogs;
using scanvale::Form1;
using scanvale::PointerKind;
using namespace scanvale::test;
using Call = ScriptedDialogs::Call;

Q_DECLARE_METATYPE(Dialogs::Answer)

class TestSaveResults : public QObject {
    Q_OBJECT

private slots:
    void save_data();
    void save();
    void cancelWritesNothing();
    void twoSavesStartWithEmptyName();
    void listChangesDuringSave_data();
    void listChangesDuringSave();
    void closingMidSaveLeavesNoTrace();
};

void TestSaveResults::save_data() {
    QTest::addColumn<QList<QByteArray>>("paths");
    QTest::addColumn<QByteArray>("existing");    // null: no file of that name yet
    QTest::addColumn<Dialogs::Answer>("answer"); // to the overwrite question, when it is asked
    QTest::addColumn<QString>("name");
    const QList<QByteArray> three{"/srv/b/one.txt", "/srv/a/two.txt", "/srv/c/three"};
    QTest::newRow("empty list gives an empty file")
        << QList<QByteArray>{} << QByteArray() << Dialogs::Answer::Yes << "results.txt";
    QTest::newRow("three results, one line each, in list order")
        << three << QByteArray() << Dialogs::Answer::Yes << "results.txt";
    QTest::newRow("name without extension stays so")
        << three << QByteArray() << Dialogs::Answer::Yes << "results";
    QTest::newRow("paths written unchanged")
        << QList<QByteArray>{" /lead and trail ", "/a \"quoted\"/b,c", "/tab\there", "/ü/日本.txt"}
        << QByteArray() << Dialogs::Answer::Yes << "results.txt";
    QTest::newRow("names that are not UTF-8 saved as their bytes")
        << QList<QByteArray>{"/data/caf\xe9.txt", "/data/\xff\xfe", "/data/\xc3"} << QByteArray()
        << Dialogs::Answer::Yes << "results.txt";
    QTest::newRow("existing file and Yes: wholly replaced")
        << QList<QByteArray>{"/new"} << QByteArray("old contents, longer than the new ones\r\n")
        << Dialogs::Answer::Yes << "results.txt";
    QTest::newRow("existing file and No: left as it was")
        << three << QByteArray("old\r\n") << Dialogs::Answer::No << "results.txt";
}

void TestSaveResults::save() {
    QFETCH(QList<QByteArray>, paths);
    QFETCH(QByteArray, existing);
    QFETCH(Dialogs::Answer, answer);
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString target = dir.filePath(name);
    if (!existing.isNull()) {
        QVERIFY(WriteBytes(target, existing));
    }
    SaveFixture f(paths);
    f.dialogs.saveNames.enqueue(target);
    f.dialogs.answers.enqueue(answer);
    bool raisedInDialog = false;
    PointerKind pointerAtDone = PointerKind::Default;
    f.dialogs.whileAsking = [&] {
        const Call& call = f.dialogs.calls.back();
        if (call.kind == Call::Kind::Save) {
            raisedInDialog = !f.save->isChecked();
        } else if (call.text == QStringLiteral("Done.")) {
            pointerAtDone = f.form->MousePointer();
        }
    };

    QTest::mouseClick(f.save, Qt::LeftButton);

    const bool replaced = existing.isNull() || answer == Dialogs::Answer::Yes;
    QCOMPARE(ReadBytes(target), replaced ? AsLines(paths) : existing);
    QCOMPARE(Entries(dir.path()), QStringList{name});
    QVERIFY(f.dialogs.calls.size() >= 1);
    const Call& dialog = f.dialogs.calls.front();
    QCOMPARE(dialog.kind, Call::Kind::Save);
    QCOMPARE(dialog.text, QStringLiteral("Save List"));
    QCOMPARE(dialog.filters, SaveFilters);
    QCOMPARE(dialog.owner, f.form.get());
    QVERIFY(raisedInDialog);
    QStringList expected;
    if (!existing.isNull()) {
        expected << QStringLiteral("Are you sure you wish to overwrite ") + target + " ?";
    }
    if (replaced) {
        expected << QStringLiteral("Done.");
    }
    QCOMPARE(f.Messages(), expected);
    for (const Call& call : f.dialogs.calls.sliced(1)) {
        QCOMPARE(call.title, QStringLiteral("Scanvale"));
        QCOMPARE(call.icon, Dialogs::Icon::None);
        QCOMPARE(call.buttons, call.text == QStringLiteral("Done.") ? Dialogs::Buttons::Ok
                                                                    : Dialogs::Buttons::YesNo);
    }
    // The hourglass shows from the start of the writing until "Done." is dismissed.
    const QList<PointerKind> busy{PointerKind::Hourglass, PointerKind::Default};
    QCOMPARE(f.pointers, replaced ? busy : QList<PointerKind>{});
    QCOMPARE(pointerAtDone, replaced ? PointerKind::Hourglass : PointerKind::Default);
    QVERIFY(!f.save->isChecked());
}

void TestSaveResults::cancelWritesNothing() {
    SaveFixture f({"/one"});
    f.save->setChecked(true); // a change to checked in code is a press too
    QCOMPARE(f.dialogs.calls.size(), 1);
    QVERIFY(f.pointers.isEmpty());
    QVERIFY(!f.save->isChecked());
    QCOMPARE(f.results->model()->rowCount(), 1);
}

void TestSaveResults::twoSavesStartWithEmptyName() {
    // Through the toolkit's own dialogs: the name typed the first time is not offered again.
    QTemporaryDir dir;
    scanvale::QtDialogs dialogs;
    Form1 form({.dialogs = &dialogs,
                .maybeOpenHomePage = [] {},
                .endProcess = [] {},
                .pointerImageFolder = dir.path()});
    form.Form_Load();
    form.findChild<scanvale::ResultsModel*>()->Append({"/x/found.txt"});
    auto* save = form.findChild<QAbstractButton*>(QStringLiteral("Check2"));
    QStringList namesOffered;
    QStringList messages;
    QString typing;
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(edit != nullptr);
            namesOffered << edit->text();
            dialog->setDirectory(dir.path());
            edit->clear();
            QTest::keyClicks(edit, typing);
            static_cast<QDialog*>(dialog)->accept();
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages << box->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    answer.start(10);
    for (const QString& name : {QStringLiteral("first.txt"), QStringLiteral("second")}) {
        typing = name;
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(ReadBytes(dir.filePath(name)), QByteArray("/x/found.txt\r\n"));
    }
    QCOMPARE(namesOffered, (QStringList{QString(), QString()}));
    QCOMPARE(messages, (QStringList{"Done.", "Done."}));
}

void TestSaveResults::listChangesDuringSave_data() {
    QTest::addColumn<QString>("during"); // the button pressed, or "result" for a new match
    QTest::newRow("clear during the save") << "Check6";
    QTest::newRow("new result during the save") << "result";
    QTest::newRow("another save during the save") << "Check2";
}

void TestSaveResults::listChangesDuringSave() {
    // The file holds the list as it was when writing began.
    QFETCH(QString, during);
    QTemporaryDir dir;
    const QList<QByteArray> paths{"/one", "/two", "/three"};
    SaveFixture f(paths);
    f.dialogs.saveNames << dir.filePath(QStringLiteral("a.txt"))
                        << dir.filePath(QStringLiteral("b.txt"));
    bool happened = false;
    QTimer::singleShot(0, f.form.get(), [&] {
        happened = true;
        if (during == QStringLiteral("result")) {
            scanvale::RowsOf(*f.results).Append({"/four"});
        } else {
            QTest::mouseClick(f.Find<QAbstractButton>(qPrintable(during)), Qt::LeftButton);
        }
    });

    QTest::mouseClick(f.save, Qt::LeftButton);

    QVERIFY(happened);
    QCOMPARE(ReadBytes(dir.filePath(QStringLiteral("a.txt"))), AsLines(paths));
    if (during == QStringLiteral("Check2")) {
        QCOMPARE(ReadBytes(dir.filePath(QStringLiteral("b.txt"))), AsLines(paths));
        QCOMPARE(f.Messages(), (QStringList{"Done.", "Done."}));
    } else {
        QCOMPARE(f.Messages(), QStringList{"Done."});
    }
    QCOMPARE(f.results->model()->rowCount(),
             during == QStringLiteral("Check6") ? 0
                                                : 3 + (during == QStringLiteral("result") ? 1 : 0));
    QCOMPARE(f.form->MousePointer(), PointerKind::Default);
}

void TestSaveResults::closingMidSaveLeavesNoTrace() {
    // The real end of the process runs no destructors, so what the save leaves behind must be
    // cleaned up before it: checked at the moment the process would end.
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("results.txt"));
    const QByteArray old("old results\r\n");
    QVERIFY(WriteBytes(target, old));
    SaveFixture f(QList<QByteArray>(100, QByteArray("/some/result.txt")));
    f.dialogs.saveNames.enqueue(target);
    f.dialogs.answers.enqueue(Dialogs::Answer::Yes);
    bool checkedAtEnd = false;
    f.onEndProcess = [&] {
        checkedAtEnd = true;
        QCOMPARE(Entries(dir.path()), QStringList{"results.txt"});
        QCOMPARE(OpenFilesIn(dir.path()), 0);
        QCOMPARE(ReadBytes(target), old);
    };
    QTimer::singleShot(0, f.form.get(), [&] { f.form->close(); });

    QTest::mouseClick(f.save, Qt::LeftButton);

    QVERIFY(checkedAtEnd);
    QCOMPARE(f.endProcessCalls, 1);
    // Here, unlike in the program, the handler got control back: it wrote nothing more.
    QCOMPARE(ReadBytes(target), old);
    QCOMPARE(Entries(dir.path()), QStringList{"results.txt"});
    QVERIFY(!f.Messages().contains(QStringLiteral("Done.")));
}

QTEST_MAIN(TestSaveResults)
#include "tst_save_results.moc"
