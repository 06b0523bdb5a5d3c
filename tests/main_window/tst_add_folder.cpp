// "Add Folder to Search": the press, the folder it asks for and the folder list.

#include "form_fixture.h"
#include "list_texts.h"

#include <QAbstractButton>
#include <QTest>
#include <QTreeWidget>

using scanvale::Form1;
using scanvale::PointerKind;
using scanvale::test::FormFixture;
using scanvale::test::Texts;
using Call = scanvale::test::ScriptedDialogs::Call;

class TestAddFolder : public QObject {
    Q_OBJECT

private slots:
    void pressAddsChosenFolder_data();
    void pressAddsChosenFolder();
    void sameFolderTwiceGivesTwoTexts();
    void checkingInCodeRunsOnce();
};

void TestAddFolder::pressAddsChosenFolder_data() {
    QTest::addColumn<QString>("chosen"); // empty: the user cancels
    QTest::addColumn<QStringList>("items");
    QTest::newRow("cancel adds nothing") << QString() << QStringList{};
    QTest::newRow("root stays root") << QStringLiteral("/") << QStringList{"/"};
    QTest::newRow("plain folder") << QStringLiteral("/home/ann/Documents")
                                  << QStringList{"/home/ann/Documents"};
    QTest::newRow("two separators become one") << QStringLiteral("/a//b") << QStringList{"/a/b"};
    QTest::newRow("three separators become two")
        << QStringLiteral("/a///b") << QStringList{"/a//b"};
    QTest::newRow("four separators become two")
        << QStringLiteral("/a////b") << QStringList{"/a//b"};
    QTest::newRow("long path kept whole")
        << QStringLiteral("/x").repeated(200) << QStringList{QStringLiteral("/x").repeated(200)};
}

void TestAddFolder::pressAddsChosenFolder() {
    QFETCH(QString, chosen);
    QFETCH(QStringList, items);
    FormFixture f;
    Form1& form = f.Load();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto* button = f.Find<QAbstractButton>("Check3");
    auto* list = f.Find<QTreeWidget>("ListView1");
    f.dialogs.folders.enqueue(QFile::encodeName(chosen));
    bool raisedWhileAsking = false;
    f.dialogs.whileAsking = [&] { raisedWhileAsking = !button->isChecked(); };
    QList<PointerKind> pointers;
    connect(&form, &Form1::MousePointerChanged, this,
            [&](PointerKind kind) { pointers.append(kind); });

    QTest::mouseClick(button, Qt::LeftButton);

    QCOMPARE(f.dialogs.calls.size(), 1);
    const Call& call = f.dialogs.calls.front();
    QCOMPARE(call.kind, Call::Kind::Folder);
    QCOMPARE(call.text, QStringLiteral("Please select folder to add:"));
    QCOMPARE(call.owner, &form);
    QVERIFY(raisedWhileAsking);
    QVERIFY(!button->isChecked());
    QCOMPARE(Texts(*list), items);
    // The hourglass marks the adding only when there is something to add.
    const QList<PointerKind> expected =
        chosen.isEmpty() ? QList<PointerKind>{}
                         : QList<PointerKind>{PointerKind::Hourglass, PointerKind::Default};
    QCOMPARE(pointers, expected);
    QCOMPARE(form.MousePointer(), PointerKind::Default);
}

void TestAddFolder::sameFolderTwiceGivesTwoTexts() {
    FormFixture f;
    Form1& form = f.Load();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto* button = f.Find<QAbstractButton>("Check3");
    f.dialogs.folders << "/srv/data" << QByteArray() << "/srv/data";
    for (int press = 0; press < 3; ++press) {
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!button->isChecked());
    }
    QCOMPARE(f.dialogs.calls.size(), 3);
    QCOMPARE(Texts(*f.Find<QTreeWidget>("ListView1")), (QStringList{"/srv/data", "/srv/data"}));
    QCOMPARE(f.Find<QTreeWidget>("ListView1")->columnCount(), 1);
}

void TestAddFolder::checkingInCodeRunsOnce() {
    // Any change of the button to checked is a press; the reset to unchecked is not.
    FormFixture f;
    f.Load();
    auto* button = f.Find<QAbstractButton>("Check3");
    f.dialogs.folders.enqueue("/opt");
    button->setChecked(true);
    QCOMPARE(f.dialogs.calls.size(), 1);
    QVERIFY(!button->isChecked());
    button->setChecked(false);
    QCOMPARE(f.dialogs.calls.size(), 1);
    QCOMPARE(Texts(*f.Find<QTreeWidget>("ListView1")), QStringList{"/opt"});
}

QTEST_MAIN(TestAddFolder)
#include "tst_add_folder.moc"
