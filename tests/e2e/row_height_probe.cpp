// Prints the row heights of the window's two lists, each with one item, as laid out on the
// platform the probe runs on: "results <pixels> folders <pixels>".

#include "form_fixture.h"
#include "path_text.h"
#include "results_model.h"

#include <QApplication>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    scanvale::test::FormFixture f;
    f.Load().show();
    if (!QTest::qWaitForWindowExposed(f.form.get(), 20000)) {
        std::fprintf(stderr, "the window was not shown\n");
        return 1;
    }
    auto* folders = f.Find<QTreeWidget>("ListView1");
    auto* results = f.Find<QTableView>("ListView2");
    scanvale::AppendPathItem(*folders, "/srv/data");
    scanvale::RowsOf(*results).Append({"/srv/data/a.txt"});
    std::printf("results %d folders %d\n", results->rowHeight(0),
                folders->visualItemRect(folders->topLevelItem(0)).height());
    return 0;
}
