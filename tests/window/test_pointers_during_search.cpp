// Hover pointers, dragging and removal while a search is under way. The search button's run
// is not part of this program yet, so the engine is driven here as the run drives it: the
// listed folders are counted once, each folder's text is read only when its turn comes, and
// the window's events are handled inside the engine's yields.

#include "fake_search_host.h"
#include "form_fixture.h"
#include "list_mouse.h"
#include "search/globals.h"
#include "search/search.h"
#include "test_tree.h"

using scanvale::Form1;
using scanvale::PointerKind;
using scanvale::test::FormFixture;
using namespace scanvale::test;

namespace {

// Visits positions 1 to n of the folder list as counted at the start, yielding before each;
// a position that no longer exists is passed over.
void SearchListedFolders(const QTreeWidget& list, FakeSearchHost& host) {
    const int count = list.topLevelItemCount();
    for (int i = 0; i < count; ++i) {
        host.Yield();
        if (i >= list.topLevelItemCount()) {
            continue;
        }
        Search::SearchFolder(list.topLevelItem(i)->text(0).toStdString(), {"*"}, "needle", 1, 0,
                             host);
    }
}

// Three folders A, B and C, each with one matching file; the list holds them in that order.
struct RunFixture {
    TestTree tree;
    FormFixture f;
    QTreeWidget* list = nullptr;
    FakeSearchHost host;

    RunFixture() {
        for (const char* name : {"A", "B", "C"}) {
            tree.Write(std::string(name) + "/match.txt", "a needle");
        }
        f.Load().show();
        list = f.Find<QTreeWidget>("ListView1");
        Fill(*list, {Folder("A"), Folder("B"), Folder("C")});
        Globals::StopSearch = false;
    }
    QString Folder(const char* name) const { return QString::fromStdString(tree.Path(name)); }
    std::string Match(const char* name) const {
        return tree.Path(std::string(name) + "/match.txt");
    }
    // Runs `action` once, inside the first yield after the results reached `afterResults`.
    void OnceAfter(size_t afterResults, std::function<void()> action) {
        host.onYield = [this, afterResults, action, done = false]() mutable {
            if (!done && host.results.size() == afterResults) {
                done = true;
                action();
            }
        };
    }
};

} // namespace

class TestPointersDuringSearch : public QObject {
    Q_OBJECT

private slots:
    void hourglassKeptInsideYields();
    void removalDuringRun();
    void dragDuringRun();
};

void TestPointersDuringSearch::hourglassKeptInsideYields() {
    RunFixture r;
    Form1& form = *r.f.form;
    QList<PointerKind> seen;
    r.host.onYield = [&] {
        MoveTo(r.f.Find<QWidget>("Check1"), {5, 5}, Qt::NoButton);
        MoveTo(form.findChild<QTreeWidget*>("ListView1")->viewport(), {5, 5}, Qt::NoButton);
        seen << form.MousePointer();
    };
    form.SetMousePointer(PointerKind::Hourglass);
    SearchListedFolders(*r.list, r.host);
    form.SetMousePointer(PointerKind::Default);

    QVERIFY(r.host.yields >= 3);
    QCOMPARE(seen, QList<PointerKind>(seen.size(), PointerKind::Hourglass));
    MoveTo(r.f.Find<QWidget>("Check1"), {5, 5}, Qt::NoButton);
    QCOMPARE(form.MousePointer(), PointerKind::Custom);
}

void TestPointersDuringSearch::removalDuringRun() {
    RunFixture r;
    // Before the first folder is searched, B is double-clicked away; the run then has one
    // position fewer than it counted and must pass over it.
    r.OnceAfter(0, [&] { DoubleClick(r.list->viewport(), RowPoint(*r.list, 1)); });
    SearchListedFolders(*r.list, r.host);
    QCOMPARE(Texts(*r.list), (QStringList{r.Folder("A"), r.Folder("C")}));
    QCOMPARE(r.host.results, (std::vector<std::string>{r.Match("A"), r.Match("C")}));
}

void TestPointersDuringSearch::dragDuringRun() {
    RunFixture r;
    // Once A has been searched, C is dragged up over B: the run then visits C before B.
    r.OnceAfter(1, [&] {
        Press(*r.list, RowPoint(*r.list, 2));
        MoveTo(r.list->viewport(), RowPoint(*r.list, 1));
        Release(*r.list, RowPoint(*r.list, 1));
    });
    SearchListedFolders(*r.list, r.host);
    QCOMPARE(Texts(*r.list), (QStringList{r.Folder("A"), r.Folder("C"), r.Folder("B")}));
    QCOMPARE(r.host.results, (std::vector<std::string>{r.Match("A"), r.Match("C"), r.Match("B")}));
}

QTEST_MAIN(TestPointersDuringSearch)
#include "test_pointers_during_search.moc"
