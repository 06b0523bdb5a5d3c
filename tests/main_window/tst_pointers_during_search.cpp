// Hover pointers, dragging and removal while the search button's run is under way. The mouse
// events are queued when the run enters a folder or lists a match, so they are handled in the
// run's turns at the window's events, as the user's mouse is.

#include "form_fixture.h"
#include "list_mouse.h"
#include "search/globals.h"
#include "tree_fixture.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <memory>

using scanvale::Form1;
using scanvale::PointerKind;
using scanvale::test::FormFixture;
using namespace scanvale::test;

namespace {

// Three folders A, B and C, each with one matching file, added in that order through the
// "Add Folder to Search" press; the phrase is typed.
struct RunFixture : FormFixture {
    TestTree tree;
    QTreeWidget* folders = nullptr;
    QTableView* results = nullptr;

    RunFixture() {
        for (const char* name : {"A", "B", "C"}) {
            tree.Write(std::string(name) + "/match.txt", "a needle");
        }
        Load().show();
        folders = Find<QTreeWidget>("ListView1");
        results = Find<QTableView>("ListView2");
        AddFolders(Folders("ABC"));
        Find<QLineEdit>("Text1")->setText(QStringLiteral("needle"));
    }
    QString Folder(const char* name) const { return QString::fromStdString(tree.Path(name)); }
    QString Match(const char* name) const {
        return QString::fromStdString(tree.Path(std::string(name) + "/match.txt"));
    }
    QStringList Folders(const char* names) const {
        QStringList paths;
        for (const char* name = names; *name != '\0'; ++name) {
            paths << Folder(std::string(1, *name).c_str());
        }
        return paths;
    }
    QStringList Matches(const char* names) const {
        QStringList paths;
        for (const char* name = names; *name != '\0'; ++name) {
            paths << Match(std::string(1, *name).c_str());
        }
        return paths;
    }
    // Queues `action` once the run enters folder `name` (the header reads "Searching ..."),
    // so that it runs in the run's next turn at the window's events (before the next listed
    // folder at the latest).
    void WhenEntering(const char* name, std::function<void()> action) {
        WhenSearching(Folder(name), std::move(action));
    }
    void ClickSearch() { QTest::mouseClick(Find<QWidget>("Check1"), Qt::LeftButton); }
    // A slow drag with the left button from row `from` to row `to`, crossing every row between.
    void Drag(int from, int to) {
        Press(*folders, RowPoint(*folders, from));
        const int step = from < to ? 1 : -1;
        for (int row = from + step; row != to + step; row += step) {
            MoveTo(folders->viewport(), RowPoint(*folders, row));
        }
        Release(*folders, RowPoint(*folders, to));
    }
};

} // namespace

class TestPointersDuringSearch : public QObject {
    Q_OBJECT

private slots:
    void hourglassKeptInsideYields();
    void removalDuringRun_data();
    void removalDuringRun();
    void dragDuringRun_data();
    void dragDuringRun();
};

void TestPointersDuringSearch::hourglassKeptInsideYields() {
    RunFixture r;
    Form1& form = *r.form;
    QWidget* button = r.Find<QWidget>("Check1");
    QList<PointerKind> seen;
    // Over an action button, the folder list and the list during a drag (into its empty
    // space, so the order the run follows stays): the hourglass stays. The moves queued on
    // entering the last folder may come after the run, where they have nothing to check.
    const auto hover = [&] {
        if (r.Find<QAbstractButton>("Check1")->text() != QStringLiteral("Stop!")) {
            return;
        }
        MoveTo(button, {5, 5}, Qt::NoButton);
        seen << form.MousePointer();
        MoveTo(r.folders->viewport(), {5, 5}, Qt::NoButton);
        seen << form.MousePointer();
        Press(*r.folders, RowPoint(*r.folders, 0));
        MoveTo(r.folders->viewport(), BelowLastRow(*r.folders));
        seen << form.MousePointer();
        Release(*r.folders, BelowLastRow(*r.folders));
    };
    for (const char* name : {"A", "B", "C"}) {
        r.WhenEntering(name, hover);
    }
    r.dialogs.whileAsking = [&] {
        MoveTo(button, {5, 5}, Qt::NoButton);
        seen << form.MousePointer();
    };

    r.ClickSearch();

    QCOMPARE(r.dialogs.calls.size(), 1);
    QCOMPARE(r.dialogs.calls.front().text, QStringLiteral("Done."));
    // Three looks in each folder entered before the run's last turn (at least A and B: the
    // run handles events before each listed folder), and one while "Done." was shown.
    QVERIFY(seen.size() >= 7);
    QCOMPARE(seen, QList<PointerKind>(seen.size(), PointerKind::Hourglass));
    QCOMPARE(form.MousePointer(), PointerKind::Default);
    MoveTo(button, {5, 5}, Qt::NoButton);
    QCOMPARE(form.MousePointer(), PointerKind::Custom);
}

void TestPointersDuringSearch::removalDuringRun_data() {
    QTest::addColumn<QString>("during"); // the folder being searched at the double-click
    QTest::addColumn<int>("row");        // the row double-clicked
    QTest::addColumn<QString>("listed"); // the folder list afterwards
    QTest::addColumn<QString>("found");  // the results, in order
    QTest::newRow("a folder not yet searched is no longer visited") << "A" << 1 << "AC"
                                                                    << "AC";
    QTest::newRow("removing the folder being searched moves the next one past the run")
        << "A" << 0 << "BC"
        << "AC";
    QTest::newRow("removing a searched folder moves the last one past the run") << "B" << 0 << "BC"
                                                                                << "AB";
}

void TestPointersDuringSearch::removalDuringRun() {
    QFETCH(QString, during);
    QFETCH(int, row);
    QFETCH(QString, listed);
    QFETCH(QString, found);
    RunFixture r;
    // The double-click selects the row it lands on, then removes it.
    r.WhenEntering(during.toLatin1().constData(),
                   [&] { DoubleClick(r.folders->viewport(), RowPoint(*r.folders, row)); });
    r.ClickSearch();
    QCOMPARE(Texts(*r.folders), r.Folders(listed.toLatin1().constData()));
    QCOMPARE(Texts(*r.results), r.Matches(found.toLatin1().constData()));
    QCOMPARE(r.dialogs.calls.size(), 1);
    QCOMPARE(r.dialogs.calls.front().text, QStringLiteral("Done."));
}

void TestPointersDuringSearch::dragDuringRun_data() {
    QTest::addColumn<int>("afterMatches"); // the drag comes once this many matches are listed
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("listed");
    QTest::addColumn<QString>("found");
    QTest::newRow("a later folder dragged ahead is visited sooner") << 1 << 2 << 1 << "ACB"
                                                                    << "ACB";
    QTest::newRow("a searched folder dragged down is visited again") << 1 << 0 << 1 << "BAC"
                                                                     << "AAC";
    QTest::newRow("a folder dragged into searched rows is not visited") << 1 << 2 << 0 << "CAB"
                                                                        << "AAB";
}

void TestPointersDuringSearch::dragDuringRun() {
    QFETCH(int, afterMatches);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, listed);
    QFETCH(QString, found);
    RunFixture r;
    auto dragged = std::make_shared<bool>(false);
    connect(r.results->model(), &QAbstractItemModel::rowsInserted, this, [&, dragged] {
        if (!*dragged && r.results->model()->rowCount() == afterMatches) {
            *dragged = true;
            QMetaObject::invokeMethod(
                r.form.get(), [&] { r.Drag(from, to); }, Qt::QueuedConnection);
        }
    });
    r.ClickSearch();
    QVERIFY(*dragged);
    QCOMPARE(Texts(*r.folders), r.Folders(listed.toLatin1().constData()));
    QCOMPARE(Texts(*r.results), r.Matches(found.toLatin1().constData()));
}

QTEST_MAIN(TestPointersDuringSearch)
#include "tst_pointers_during_search.moc"
